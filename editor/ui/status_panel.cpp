#include "editor/ui/status_panel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace brev {

QRect StatusPanel::textRect() const {
    return contentsRect().adjusted(indent() < 0 ? 0 : indent(), 0, 0, 0);
}

QString StatusPanel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, textRect().width());
}

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

bool StatusPanel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && shownText() != text()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(event);
}

} // namespace brev
