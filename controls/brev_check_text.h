// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/control_store.h"

#include <QLabel>

namespace brev {

// A one-letter on/off box. The left button switches it on, the right button off, also when a
// press that began elsewhere sweeps over it.
class TBrevCheckText : public QLabel {
    Q_OBJECT

public:
    explicit TBrevCheckText(QWidget* parent = nullptr);

    bool Value() const { return store_ ? store_->storedValue(control_) != 0 : value_; }
    // Nothing happens when the value is unchanged: no repaint, no event. Once bound, the store
    // takes the value instead, and OnChanged stays silent.
    void SetValue(bool value);

    // From now on the value lives in store under the control id; this one only shows it.
    void bindTo(ControlStore& store, int control);
    // The store's value changed.
    void showValue() { update(); }

    // Applies a sweep's button state to the check text under a global pointer position in
    // window's widget tree. Qt delivers the moves of a press to the widget that was pressed, so
    // whoever receives them (a check text, or the window when the sweep began on its
    // background) hands them on through here.
    static void sweepAt(QWidget* window, const QPoint& globalPos, Qt::MouseButtons buttons);

signals:
    void OnChanged(brev::TBrevCheckText* sender, bool value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ControlStore* store_ = nullptr;
    int control_ = -1;
    bool value_ = false; // while no store is bound
};

} // namespace brev
