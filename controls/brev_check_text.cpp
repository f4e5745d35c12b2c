// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_check_text.h"

#include "controls/boxed_caption.h"

#include <QMouseEvent>
#include <QPainter>

namespace brev {

TBrevCheckText::TBrevCheckText(QWidget* parent) : QLabel(QStringLiteral("X"), parent) {
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    resize(16, 16);
}

void TBrevCheckText::SetValue(bool value) {
    if (store_) {
        store_->store(control_, value ? 1 : 0);
        return;
    }
    if (value == value_)
        return;
    value_ = value;
    update();
    emit OnChanged(this, value_);
}

void TBrevCheckText::bindTo(ControlStore& store, int control) {
    store_ = &store;
    control_ = control;
    showValue();
}

void TBrevCheckText::sweepAt(QWidget* window, const QPoint& globalPos, Qt::MouseButtons buttons) {
    if (!buttons.testAnyFlags(Qt::LeftButton | Qt::RightButton))
        return;
    auto* target = qobject_cast<TBrevCheckText*>(window->childAt(window->mapFromGlobal(globalPos)));
    if (!target)
        return;
    target->SetValue(buttons.testFlag(Qt::LeftButton));
}

void TBrevCheckText::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        SetValue(true);
    else if (event->button() == Qt::RightButton)
        SetValue(false);
}

void TBrevCheckText::mouseMoveEvent(QMouseEvent* event) {
    sweepAt(window(), event->globalPosition().toPoint(), event->buttons());
}

void TBrevCheckText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (Value())
        paintBoxedCaption(painter, rect(), text(), Qt::white, Qt::black);
    else
        paintBoxedCaption(painter, rect(), text(), Qt::black, Qt::white);
}

} // namespace brev
