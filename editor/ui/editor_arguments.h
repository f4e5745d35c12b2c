// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace brev {

// What brevedit was started with.
struct EditorArguments {
    QString file; // absolute, so a running editor elsewhere finds it; empty without one
    // Set when the program ends at once: after --help or --version (0), or a usage mistake (2),
    // with what it printed.
    std::optional<int> exitStatus;
};

// Reads the arguments (the program name first) and prints what --help, --version or a mistake
// asks for.
EditorArguments parseEditorArguments(const QStringList& arguments);

} // namespace brev
