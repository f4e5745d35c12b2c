// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_number.h"

#include "controls/boxed_caption.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

namespace brev {

TBrevNumber::TBrevNumber(QWidget* parent) : QLabel(QStringLiteral("0"), parent) {
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::SplitVCursor);
    resize(16, 16);
}

void TBrevNumber::SetValue(int value) {
    if (store_) {
        store_->store(control_, value);
        return;
    }
    const int previous = value_;
    value_ = std::clamp(value, min_, max_);
    if (value_ != previous)
        emit OnChanged(this, value_);
    showValue(value_);
}

void TBrevNumber::SetMin(int value) {
    min_ = std::min(value, max_);
    SetValue(Value());
}

void TBrevNumber::SetMax(int value) {
    max_ = std::max(value, min_);
    SetValue(Value());
}

void TBrevNumber::SetDefault(int value) {
    default_ = std::clamp(value, min_, max_);
}

void TBrevNumber::bindTo(ControlStore& store, int control) {
    store_ = &store;
    control_ = control;
    showValue(Value());
}

void TBrevNumber::showValue(int value) {
    setText(QString::number(value));
}

void TBrevNumber::mousePressEvent(QMouseEvent* event) {
    const int y = event->position().toPoint().y();
    if (event->button() == Qt::LeftButton) {
        fine_ = event->modifiers().testFlag(Qt::ControlModifier);
        // Division truncates toward zero, so the band around the press point is 19 pixels wide.
        anchor_ = Value() + y / (fine_ ? 20 : 10);
        dragging_ = true;
    } else if (event->button() == Qt::RightButton) {
        if (event->modifiers().testFlag(Qt::ShiftModifier))
            SetValue(max_);
        else if (event->modifiers().testFlag(Qt::ControlModifier))
            SetValue(min_);
        else
            SetValue(default_);
    }
}

void TBrevNumber::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    const int y = event->position().toPoint().y();
    SetValue(anchor_ - y / (fine_ ? 20 : 10));
}

void TBrevNumber::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void TBrevNumber::wheelEvent(QWheelEvent* event) {
    // A touchpad turns in fractions of a notch: they add up.
    wheelDelta_ += event->angleDelta().y();
    const int steps = wheelDelta_ / QWheelEvent::DefaultDeltasPerStep;
    wheelDelta_ -= steps * QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0)
        SetValue(Value() + steps);
}

void TBrevNumber::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBoxedCaption(painter, rect(), text(), Qt::black, Qt::white);
}

} // namespace brev
