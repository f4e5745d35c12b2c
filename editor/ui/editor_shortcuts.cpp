// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/editor_shortcuts.h"

#include "editor/ui/control_registry.h"
#include "editor/ui/pattern_history.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QToolButton>

namespace brev {

namespace {

void addShortcut(QWidget& window, const QList<QKeySequence>& keys,
                 const std::function<void()>& run) {
    auto* action = new QAction(&window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &window, run);
    window.addAction(action);
}

void addButtonShortcut(QWidget& window, const ControlRegistry& controls, const char* key,
                       const char* button) {
    QToolButton* target = controls.get<QToolButton>(QString::fromLatin1(button));
    addShortcut(window, {QKeySequence(QString::fromLatin1(key))}, [target] { target->click(); });
}

// Lets a shortcut of the window through a number box that nothing is typed into.
class NumberBoxKeys : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* box, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const auto* edit = box->findChild<QLineEdit*>();
        return edit && !edit->isModified();
    }
};

} // namespace

void addEditorShortcuts(QWidget& window, const ControlRegistry& controls, PatternHistory& history) {
    addButtonShortcut(window, controls, "Ctrl+O", "LoadFromFileButton");
    addButtonShortcut(window, controls, "Ctrl+S", "SaveToFileButton");
    addButtonShortcut(window, controls, "Ctrl+V", "PasteFromClipBoardButton");
    addButtonShortcut(window, controls, "Ctrl+C", "CopyToClipBoardButton");
    addShortcut(window, {QKeySequence(QStringLiteral("Ctrl+Z"))}, [&history] { history.undo(); });
    addShortcut(
        window,
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))},
        [&history] { history.redo(); });
}

void keepKeysForWindow(QWidget& window) {
    window.setFocusPolicy(Qt::ClickFocus);
    auto* keys = new NumberBoxKeys(&window);
    for (QAbstractSpinBox* box : window.findChildren<QAbstractSpinBox*>()) {
        // The dialogs' boxes are theirs.
        if (box->window() != &window)
            continue;
        box->installEventFilter(keys);
        QObject::connect(box, &QAbstractSpinBox::editingFinished, keys, [&window, box] {
            if (auto* edit = box->findChild<QLineEdit*>())
                edit->setModified(false);
            if (box->hasFocus())
                window.setFocus();
        });
    }
    window.setFocus();
}

} // namespace brev
