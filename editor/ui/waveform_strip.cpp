// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/waveform_strip.h"

#include "audio/segment_store.h"

#include <QPaintEvent>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>

namespace brev {

namespace {

const QColor kBackground(Qt::black);
const QColor kPlayingBackground(0x30, 0x48, 0x70);
const QColor kOutline(0xe0, 0xe0, 0xe0);
const QColor kRegionLine(0x70, 0x70, 0x70);
const QColor kSlotNumber(0xa0, 0xa0, 0xa0);

std::span<const std::int16_t> heardFrames(const SegmentStore& store, int slot) {
    const std::span<const std::uint8_t> wave = store.slot(slot);
    // What the engine writes into the region: the slot, cut to the region's length.
    const std::int32_t frames = std::min<std::int32_t>(
        store.regionFrames(slot), static_cast<std::int32_t>(wave.size() / BrevWave::kFrameBytes));
    if (frames <= 0)
        return {};
    return {reinterpret_cast<const std::int16_t*>(wave.data()),
            static_cast<std::size_t>(frames) * 2};
}

} // namespace

WaveformStrip::WaveformStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WaveformStrip"));
    // Every pixel is painted: nothing behind needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool WaveformStrip::sameLoop(const SegmentStore& store) const {
    if (store.outputFrames() != loopFrames_)
        return false;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (store.regionStart(slot) != regionStarts_[static_cast<std::size_t>(slot)])
            return false;
    }
    return true;
}

void WaveformStrip::showLoop(const SegmentStore& store) {
    loopFrames_ = store.outputFrames();
    for (int slot = 0; slot < kSlots; ++slot) {
        regionStarts_[static_cast<std::size_t>(slot)] = store.regionStart(slot);
        measure(store, slot);
    }
    update();
}

void WaveformStrip::slotRendered(const SegmentStore& store, int slot) {
    if (slot < 0 || slot >= kSlots)
        return;
    if (!sameLoop(store)) {
        showLoop(store);
        return;
    }
    measure(store, slot);
    update(regionRect(slot));
}

void WaveformStrip::measure(const SegmentStore& store, int slot) {
    peaks_[static_cast<std::size_t>(slot)] =
        store.IsLoaded()
            ? regionPeaks(heardFrames(store, slot), store.regionStart(slot), loopFrames_, width())
            : RegionPeaks{};
}

void WaveformStrip::setPlayingSlot(int slot) {
    if (slot == playing_)
        return;
    if (playing_ >= 0)
        update(regionRect(playing_));
    playing_ = slot;
    if (playing_ >= 0)
        update(regionRect(playing_));
}

int WaveformStrip::regionColumn(int slot) const {
    if (loopFrames_ <= 0)
        return slot * width() / kSlots;
    if (slot >= kSlots)
        return width();
    return columnOfFrame(regionStarts_[static_cast<std::size_t>(slot)], loopFrames_, width());
}

int WaveformStrip::slotAt(int x) const {
    if (loopFrames_ <= 0)
        return -1;
    int slot = 0;
    while (slot + 1 < kSlots && regionColumn(slot + 1) <= x)
        ++slot;
    return slot;
}

QRect WaveformStrip::regionRect(int slot) const {
    const int left = regionColumn(slot);
    // A column shared with a neighbour shows both, so both redraw it.
    const RegionPeaks& peaks = peaks_[static_cast<std::size_t>(slot)];
    const int right = std::max(regionColumn(slot + 1),
                               peaks.firstColumn + static_cast<int>(peaks.columns.size()) - 1);
    return QRect(left, 0, right - left + 1, height());
}

void WaveformStrip::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, kBackground);
    if (playing_ >= 0) {
        const int left = regionColumn(playing_);
        painter.fillRect(QRect(left, 0, regionColumn(playing_ + 1) - left, height()) & area,
                         kPlayingBackground);
    }
    QVarLengthArray<QLine, 1024> outline;
    for (const RegionPeaks& peaks : peaks_) {
        const int first = std::max(peaks.firstColumn, area.left());
        const int last =
            std::min(peaks.firstColumn + static_cast<int>(peaks.columns.size()) - 1, area.right());
        for (int column = first; column <= last; ++column) {
            const ColumnPeak& peak =
                peaks.columns[static_cast<std::size_t>(column - peaks.firstColumn)];
            outline.append(QLine(column, sampleRow(peak.high, height()), column,
                                 sampleRow(peak.low, height())));
        }
    }
    painter.setPen(kOutline);
    painter.drawLines(outline.constData(), static_cast<int>(outline.size()));
    // Boundaries and numbers over the outline, so they stay readable.
    for (int slot = 0; slot < kSlots; ++slot) {
        const int left = regionColumn(slot);
        if (left > area.right() || regionColumn(slot + 1) < area.left())
            continue;
        painter.setPen(kRegionLine);
        painter.drawLine(left, 0, left, height() - 1);
        painter.setPen(kSlotNumber);
        painter.drawText(left + 2, 0, 30, 12, Qt::AlignLeft | Qt::AlignTop, QString::number(slot));
    }
}

} // namespace brev
