// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/editor_shortcuts.h"

#include "editor/ui/interface_form.h"
#include "editor/ui/pattern_history.h"

#include <QAction>
#include <QToolButton>

namespace brev {

namespace {

void addShortcut(TInterfaceForm& form, const QList<QKeySequence>& keys,
                 const std::function<void()>& run) {
    auto* action = new QAction(&form);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &form, run);
    form.addAction(action);
}

void addButtonShortcut(TInterfaceForm& form, const char* key, const char* button) {
    QToolButton* target = form.component<QToolButton>(QString::fromLatin1(button));
    addShortcut(form, {QKeySequence(QString::fromLatin1(key))}, [target] { target->click(); });
}

} // namespace

void addEditorShortcuts(TInterfaceForm& form) {
    addButtonShortcut(form, "Ctrl+O", "LoadFromFileButton");
    addButtonShortcut(form, "Ctrl+S", "SaveToFileButton");
    addButtonShortcut(form, "Ctrl+V", "PasteFromClipBoardButton");
    addButtonShortcut(form, "Ctrl+C", "CopyToClipBoardButton");
    PatternHistory& history = form.history();
    addShortcut(form, {QKeySequence(QStringLiteral("Ctrl+Z"))}, [&history] { history.undo(); });
    addShortcut(
        form,
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))},
        [&history] { history.redo(); });
}

} // namespace brev
