// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/loop_drag_handle.h"

#include "audio/clipboard_port.h"
#include "audio/segment_store.h"
#include "base/atomic_file.h"
#include "base/name_limit.h"
#include "base/private_folder.h"
#include "editor/core/kit_export.h"
#include "editor/ui/local_file_name.h"
#include "editor/ui/wave_mime.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <optional>

namespace brev {

LoopDragHandle::LoopDragHandle(DragSource& source, QWidget* handle, SlotAt slotAt)
    : QObject(handle), source_(source), handle_(handle), slotAt_(std::move(slotAt)) {
    handle->setCursor(Qt::OpenHandCursor);
    if (!slotAt_)
        handle->setToolTip(QStringLiteral("Drag the rendered loop out as a WAV file"));
    handle->installEventFilter(this);
}

namespace {

// "loop (BREV).wav" for loop.flac, within the folder's name limit; a loop that was dragged out
// and dropped back keeps its name rather than growing a mark at every round.
std::string draggedLoopName(std::string base, std::size_t limit) {
    constexpr std::string_view kMark = " (BREV)";
    constexpr std::string_view kExtension = ".wav";
    while (base.ends_with(kMark))
        base.resize(base.size() - kMark.size());
    if (base.empty())
        base = "loop";
    const std::size_t room =
        limit > kMark.size() + kExtension.size() ? limit - kMark.size() - kExtension.size() : 0;
    return std::string(fittedName(base, room)).append(kMark).append(kExtension);
}

// The kit's name for the slot's file.
QString slotFileName(const QString& currentFileName, int slot) {
    const std::string folder = privateCacheFolder();
    const std::string name = kitName(localPath(currentFileName), folder);
    return fileNameText(folder + kitSlotFileName(name, slot));
}

} // namespace

QString LoopDragHandle::dragFileName(const QString& source) {
    const std::string folder = privateCacheFolder();
    const std::string base =
        source.isEmpty() ? "" : localPath(QFileInfo(source).completeBaseName());
    return fileNameText(folder + draggedLoopName(base, nameLimit(folder)));
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
    source_.runCommand([&] {
        const SegmentStore* store = source_.renderedLoop();
        if (!store)
            return;
        const BrevWave::TWave& whole = store->joinSlots();
        QString file = dragFileName(source_.currentFileName());
        std::optional<BrevWave::TWave> part;
        if (slot >= 0) {
            const auto bytes = kitSlot(whole.bytes(), kitLayout(*store), slot);
            part.emplace(bytes.data(), static_cast<std::int32_t>(bytes.size()));
            file = slotFileName(source_.currentFileName(), slot);
        }
        const BrevWave::TWave& dragged = part ? *part : whole;
        dragged.SaveToFile(localPath(file), FileAccess::OwnerOnly);
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
