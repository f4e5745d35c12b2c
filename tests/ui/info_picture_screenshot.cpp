// Clicks Info with Shift held in the editor window and saves what the window then shows to the
// PNG file named by the first argument.
#include "editor/ui/interface_form.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    brev::TInterfaceForm form;
    form.show();
    int status = 1;
    QTimer::singleShot(500, &form, [&] {
        QWidget* info = form.findComponent(u"InfoButton");
        QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::ShiftModifier,
                          info->mapTo(&form, info->rect().center()));
        const QImage image = form.grab().toImage();
        if (image.size() == form.size() && image.save(QString::fromLocal8Bit(argv[1])))
            status = 0;
        else
            std::fprintf(stderr, "could not write %s\n", argv[1]);
        app.quit();
    });
    app.exec();
    return status;
}
