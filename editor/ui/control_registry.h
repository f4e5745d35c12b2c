// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <QWidget>

namespace brev {

// The window's controls by name, ignoring case, as the settings, the shortcuts and the commands
// look them up.
class ControlRegistry {
public:
    // Takes every named widget inside window, as it is now.
    void registerChildren(const QWidget& window);

    // The control of that name; null when there is none.
    QWidget* find(QStringView name) const { return controls_.value(name.toString().toLower()); }
    template <class T> T* get(QStringView name) const { return qobject_cast<T*>(find(name)); }

private:
    QHash<QString, QWidget*> controls_; // by lower-case name
};

} // namespace brev
