// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace brev {

// A small lamp, white when lit and black when dark.
class TBrevLED : public QWidget {
    Q_OBJECT

public:
    explicit TBrevLED(QWidget* parent = nullptr);

    bool State() const { return state_; }
    // Repaints only on a change: the editor sets all 16 lamps at every slot start.
    void SetState(bool state);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool state_ = false;
};

} // namespace brev
