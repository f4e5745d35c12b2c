#include "editor/ui/interface_form.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("BREV Editor"));
    brev::TInterfaceForm form;
    form.show();
    return app.exec();
}
