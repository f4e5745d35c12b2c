// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/boxed_caption.h"

#include <QFontMetrics>
#include <QPainter>

namespace brev {

qreal captionSqueeze(int available, int advance) {
    return advance > available && advance > 0 ? qreal(available) / advance : 1.0;
}

void paintBoxedCaption(QPainter& painter, const QRect& rect, const QString& caption,
                       const QColor& background, const QColor& text) {
    painter.fillRect(rect, background);
    painter.setPen(Qt::black);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(text);
    // A caption wider than the box ("-99" in a number) is narrowed to stay inside the border.
    const QRect inside = rect.adjusted(1, 1, -1, -1);
    const int advance = painter.fontMetrics().horizontalAdvance(caption);
    const qreal squeeze = captionSqueeze(inside.width(), advance);
    if (squeeze == 1.0) {
        painter.drawText(rect, Qt::AlignCenter, caption);
        return;
    }
    painter.save();
    painter.setClipRect(inside);
    painter.translate(inside.left(), 0);
    painter.scale(squeeze, 1.0);
    painter.drawText(QRect(0, rect.top(), advance, rect.height()), Qt::AlignCenter, caption);
    painter.restore();
}

} // namespace brev
