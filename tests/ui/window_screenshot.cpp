// Shows the editor window and saves what it draws to the PNG file named by the first argument.
// With "shift-info" as the second argument, Info is clicked with Shift held first.
#include "editor/ui/interface_form.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [shift-info]\n", argv[0]);
        return 2;
    }
    const bool shiftInfo = argc > 2 && std::strcmp(argv[2], "shift-info") == 0;
    brev::TInterfaceForm form;
    form.show();
    int status = 1;
    // Grab once the window has been mapped and painted.
    QTimer::singleShot(500, &form, [&] {
        if (shiftInfo) {
            QWidget* info = form.findComponent(u"InfoButton");
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::ShiftModifier,
                              info->mapTo(&form, info->rect().center()));
        }
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
