// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace brev {

// A captioned box that fires OnPulsed once per left press and then flashes for 200 ms.
class TBrevPulseButton : public QLabel {
    Q_OBJECT

public:
    explicit TBrevPulseButton(QWidget* parent = nullptr);

    bool isFlashing() const { return flashing_; }

signals:
    void OnPulsed(brev::TBrevPulseButton* sender);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool flashing_ = false;
};

} // namespace brev
