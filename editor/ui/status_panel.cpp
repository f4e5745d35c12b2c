// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/status_panel.h"

#include "editor/ui/folder_elision.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace brev {

QRect StatusPanel::textRect() const {
    return contentsRect().adjusted(indent() < 0 ? 0 : indent(), 0, 0, 0);
}

QString StatusPanel::shownText() const {
    const QFontMetrics metrics = fontMetrics();
    const int width = textRect().width();
    const QString withShortFolder = elideFolder(
        text(), width, [&](const QString& shown) { return metrics.horizontalAdvance(shown); });
    return withShortFolder.isEmpty() ? metrics.elidedText(text(), Qt::ElideMiddle, width)
                                     : withShortFolder;
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
