// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_pulse_button.h"

#include "controls/boxed_caption.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>
#include <thread>

namespace brev {

TBrevPulseButton::TBrevPulseButton(QWidget* parent) : QLabel(QStringLiteral("P"), parent) {
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    resize(32, 16);
}

void TBrevPulseButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    emit OnPulsed(this);
    flashing_ = true;
    repaint();
    // Pending events, a slot-start hand-over among them, run now; the wait then blocks the GUI
    // thread on purpose, so the flash stays visible even while the action's effects are drawn.
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    flashing_ = false;
    repaint();
}

// The press keeps the pointer: a sweep of check texts never starts on a pulse button.
void TBrevPulseButton::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void TBrevPulseButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (flashing_)
        paintBoxedCaption(painter, rect(), text(), Qt::white, Qt::black);
    else
        paintBoxedCaption(painter, rect(), text(), Qt::black, Qt::white);
}

} // namespace brev
