#include "editor/ui/loop_drag_handle.h"

#include "audio/clipboard_port.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/wave_mime.h"
#include "output/tds.h"

#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QUrl>

namespace brev {

LoopDragHandle::LoopDragHandle(TInterfaceForm& form, QWidget* handle)
    : QObject(handle), form_(form), handle_(handle) {
    handle->setCursor(Qt::OpenHandCursor);
    handle->setToolTip(QStringLiteral("Drag the rendered loop out as a WAV file"));
    handle->installEventFilter(this);
}

QString LoopDragHandle::dragFileName(const TInterfaceForm& form) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                           QStringLiteral("/brev-editor");
    QDir().mkpath(folder);
    const QString& source = form.currentFileName();
    const QString base =
        source.isEmpty() ? QStringLiteral("loop") : QFileInfo(source).completeBaseName();
    return folder + u'/' + base + QStringLiteral(" (BREV).wav");
}

bool LoopDragHandle::eventFilter(QObject* watched, QEvent* event) {
    if (watched != handle_)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        pressed_ = mouse->button() == Qt::LeftButton;
        pressedAt_ = mouse->position().toPoint();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        pressed_ = false;
    } else if (event->type() == QEvent::MouseMove && pressed_) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->position().toPoint() - pressedAt_).manhattanLength() >=
            QApplication::startDragDistance()) {
            pressed_ = false;
            startDrag();
            return true;
        }
    }
    return false;
}

void LoopDragHandle::startDrag() {
    if (!form_.started())
        return;
    form_.runCommand([&] {
        TDS& engine = form_.engine();
        if (!engine.IsLoaded())
            return;
        form_.renderAll();
        const BrevWave::TWave& loop = engine.Store().joinSlots();
        const QString file = dragFileName(form_);
        loop.SaveToFile(QFile::encodeName(file).toStdString());
        MemoryClipboard wave;
        loop.SaveToClipboard(wave);
        const std::vector<std::uint8_t> bytes = wave.waveBytes();

        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(file)});
        mime->setData(kWaveMimeType, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<qsizetype>(bytes.size())));
        auto* drag = new QDrag(handle_);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
    });
}

} // namespace brev
