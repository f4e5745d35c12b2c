// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_led.h"

#include <QPainter>

namespace brev {

TBrevLED::TBrevLED(QWidget* parent) : QWidget(parent) {
    resize(16, 8);
}

void TBrevLED::SetState(bool state) {
    if (state == state_)
        return;
    state_ = state;
    update();
}

void TBrevLED::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(state_ ? Qt::white : Qt::black);
    // The last column and row keep the parent's background.
    painter.drawRect(0, 0, width() - 2, height() - 2);
}

} // namespace brev
