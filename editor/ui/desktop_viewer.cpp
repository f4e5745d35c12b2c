#include "editor/ui/desktop_viewer.h"

#include <QDesktopServices>
#include <QUrl>

namespace brev {

namespace {

class SystemDesktopViewer : public DesktopViewer {
public:
    void openFile(const QString& path) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

} // namespace

DesktopViewer& systemDesktopViewer() {
    static SystemDesktopViewer viewer;
    return viewer;
}

} // namespace brev
