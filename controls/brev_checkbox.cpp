// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_checkbox.h"

#include <QMouseEvent>
#include <QPainter>

namespace brev {

TBrevCheckbox::TBrevCheckbox(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    resize(9, 9);
}

void TBrevCheckbox::SetState(bool state) {
    state_ = state;
    update();
}

void TBrevCheckbox::mousePressEvent(QMouseEvent* event) {
    SetState(event->button() == Qt::LeftButton);
}

void TBrevCheckbox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit OnClick(this);
}

void TBrevCheckbox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (state_) {
        painter.fillRect(rect(), Qt::white);
    } else {
        painter.fillRect(rect(), Qt::black);
        painter.setPen(Qt::white);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace brev
