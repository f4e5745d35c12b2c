// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/control_store.h"

#include <QLabel>

namespace brev {

// A boxed integer changed by dragging the mouse up or down over it, or by its wheel, one step a
// notch; a right click jumps to the default, or with Ctrl to the minimum, or with Shift to the
// maximum.
class TBrevNumber : public QLabel {
    Q_OBJECT

public:
    explicit TBrevNumber(QWidget* parent = nullptr);

    int Value() const { return store_ ? store_->storedValue(control_) : value_; }
    int Default() const { return default_; }
    int Min() const { return min_; }
    int Max() const { return max_; }

    // Clamps into Min … Max; OnChanged runs before the caption shows the new value. Once bound,
    // the store takes the value instead, and OnChanged stays silent.
    void SetValue(int value);
    // Kept within Max, then the value is clamped again (which may fire OnChanged).
    void SetMin(int value);
    // Kept within Min, then the value is clamped again (which may fire OnChanged).
    void SetMax(int value);
    // Clamped into the bounds in force; no event.
    void SetDefault(int value);

    // From now on the value lives in store under the control id; this one only shows it.
    void bindTo(ControlStore& store, int control);
    // The store's value changed.
    void showValue(int value);

signals:
    void OnChanged(brev::TBrevNumber* sender, int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ControlStore* store_ = nullptr;
    int control_ = -1;
    int value_ = 0; // while no store is bound
    int default_ = 0;
    int min_ = 0;
    int max_ = 100;
    bool dragging_ = false;
    bool fine_ = false;
    int anchor_ = 0;
    int wheelDelta_ = 0; // of a notch not yet complete
};

} // namespace brev
