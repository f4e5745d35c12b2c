// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace brev {

// A status bar panel. A text longer than the panel is shortened: a path in the middle of its
// folder, keeping the file name and what follows it, anything else in the middle. The whole
// text is shown as the panel's hint.
class StatusPanel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // The text as the panel draws it.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect textRect() const;
};

} // namespace brev
