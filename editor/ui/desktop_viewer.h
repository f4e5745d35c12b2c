#pragma once

#include <QString>

namespace brev {

// Hands a file to the desktop's default viewer for its type; the editor never waits for it.
class DesktopViewer {
public:
    virtual ~DesktopViewer() = default;
    virtual void openFile(const QString& path) = 0;
};

// The desktop's own viewer (QDesktopServices). The result is not examined: a file the desktop
// cannot show reports nothing.
DesktopViewer& systemDesktopViewer();

} // namespace brev
