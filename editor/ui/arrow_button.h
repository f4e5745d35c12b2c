// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

namespace brev {

// The small flat button beside a number that steps it up or down; it draws a triangle, and its
// Tag property names the number it steps.
class ArrowButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class Direction { Up, Down };

    ArrowButton(Direction direction, QWidget* parent = nullptr);

    Direction direction() const { return direction_; }

signals:
    void OnClick(brev::ArrowButton* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Direction direction_;
};

} // namespace brev
