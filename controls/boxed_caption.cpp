#include "controls/boxed_caption.h"

#include <QPainter>

namespace brev {

void paintBoxedCaption(QPainter& painter, const QRect& rect, const QString& caption,
                       const QColor& background, const QColor& text) {
    painter.fillRect(rect, background);
    painter.setPen(Qt::black);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(text);
    painter.drawText(rect, Qt::AlignCenter, caption);
}

} // namespace brev
