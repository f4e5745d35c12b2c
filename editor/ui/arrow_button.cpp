// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/arrow_button.h"

#include <QPainter>
#include <QPolygon>

namespace brev {

ArrowButton::ArrowButton(Direction direction, QWidget* parent)
    : QAbstractButton(parent), direction_(direction) {
    setFocusPolicy(Qt::NoFocus);
    setText(direction == Direction::Up ? QStringLiteral("t") : QStringLiteral("u"));
    connect(this, &QAbstractButton::clicked, this, [this] { emit OnClick(this); });
}

namespace {

// Black on light backgrounds, white on dark ones, so the glyph never vanishes.
QColor inkFor(const QColor& background) {
    return background.lightness() < 128 ? Qt::white : Qt::black;
}

} // namespace

void ArrowButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor background = palette().color(QPalette::Window);
    if (isDown()) {
        background = QColor(0x60, 0x60, 0x60);
        painter.fillRect(rect(), background);
    }
    // A solid triangle five pixels wide, centred.
    const int left = (width() - 5) / 2;
    const int top = (height() - 3) / 2;
    QPolygon triangle;
    if (direction_ == Direction::Up)
        triangle << QPoint(left + 2, top) << QPoint(left + 4, top + 2) << QPoint(left, top + 2);
    else
        triangle << QPoint(left, top) << QPoint(left + 4, top) << QPoint(left + 2, top + 2);
    painter.setPen(inkFor(background));
    painter.setBrush(inkFor(background));
    painter.drawPolygon(triangle);
}

} // namespace brev
