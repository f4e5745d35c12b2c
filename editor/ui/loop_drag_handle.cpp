#include "editor/ui/loop_drag_handle.h"

#include "audio/clipboard_port.h"
#include "editor/core/kit_export.h"
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
#include <optional>

namespace brev {

LoopDragHandle::LoopDragHandle(TInterfaceForm& form, QWidget* handle, SlotAt slotAt)
    : QObject(handle), form_(form), handle_(handle), slotAt_(std::move(slotAt)) {
    handle->setCursor(Qt::OpenHandCursor);
    if (!slotAt_)
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
            startDrag(slotAt_ ? slotAt_(pressedAt_) : -1);
            return true;
        }
    }
    return false;
}

void LoopDragHandle::startDrag(int slot) {
    if (!form_.started())
        return;
    form_.runCommand([&] {
        TDS& engine = form_.engine();
        if (!engine.IsLoaded())
            return;
        form_.renderAll();
        const BrevWave::TWave& whole = engine.Store().joinSlots();
        QString file = dragFileName(form_);
        std::optional<BrevWave::TWave> part;
        if (slot >= 0) {
            const auto bytes = kitSlot(whole.bytes(), kitLayout(engine.Store()), slot);
            part.emplace(bytes.data(), static_cast<std::int32_t>(bytes.size()));
            const std::string name =
                kitName(QFile::encodeName(form_.currentFileName()).toStdString());
            file = QFileInfo(file).dir().filePath(
                QFile::decodeName(QByteArray::fromStdString(kitSlotFileName(name, slot))));
        }
        const BrevWave::TWave& dragged = part ? *part : whole;
        dragged.SaveToFile(QFile::encodeName(file).toStdString());
        MemoryClipboard wave;
        dragged.SaveToClipboard(wave);
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
