// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace brev {

// A plain square toggle: the left button switches it on, any other button off.
class TBrevCheckbox : public QWidget {
    Q_OBJECT

public:
    explicit TBrevCheckbox(QWidget* parent = nullptr);

    bool State() const { return state_; }
    // Repaints even when unchanged; no event of its own.
    void SetState(bool state);

signals:
    // A left click: press and release over the control.
    void OnClick(brev::TBrevCheckbox* sender);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool state_ = false;
};

} // namespace brev
