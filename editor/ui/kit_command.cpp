// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/kit_command.h"

#include "editor/core/kit_export.h"
#include "editor/ui/editor_context.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/local_file_name.h"
#include "editor/ui/status_panel.h"
#include "editor/ui/waveform_strip.h"
#include "output/tds.h"

#include <QAction>
#include <QToolButton>

namespace brev {

namespace {

const QString kKitDirectory = QStringLiteral("Kit directory");

} // namespace

KitCommand::KitCommand(EditorContext& form, WaveformStrip& strip)
    : QObject(&form.editorWindow()), form_(form) {
    QWidget& window = form.editorWindow();
    setObjectName(QStringLiteral("KitCommand"));
    // Left of the strip, under the row labels: the strip shows what the kit cuts.
    auto* button = new QToolButton(&window);
    button->setObjectName(QStringLiteral("ExportKitButton"));
    button->setText(QStringLiteral("Export kit..."));
    button->setToolTip(QStringLiteral("Export the pattern as slices, a sampler kit, MIDI and a "
                                      "marked loop (Ctrl+E)"));
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(8, 484, 81, 22);
    connect(button, &QToolButton::clicked, this, &KitCommand::ExportKitButtonClick);

    auto* shortcut = new QAction(&window);
    shortcut->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    shortcut->setShortcutContext(Qt::WindowShortcut);
    connect(shortcut, &QAction::triggered, button, &QToolButton::click);
    window.addAction(shortcut);

    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (auto* led = window.findChild<QWidget*>(QStringLiteral("LED%1").arg(slot)))
            new LoopDragHandle(form, led, [slot](QPoint) { return slot; });
    }
    new LoopDragHandle(form, &strip, [view = &strip](QPoint at) { return view->slotAt(at.x()); });
    strip.setToolTip(QStringLiteral("Drag a slot out as a WAV file"));
}

void KitCommand::ExportKitButtonClick() {
    if (!form_.started())
        return;
    form_.runCommand([&] {
        TDS& engine = form_.engine();
        if (!engine.IsLoaded()) {
            form_.dialogs().message(QStringLiteral("Load some audio first"));
            return;
        }
        const std::optional<QString> folder =
            form_.dialogs().chooseFolder(QStringLiteral("Export kit to folder"),
                                         form_.settings().readString(kKitDirectory, QString()));
        if (!folder)
            return;
        form_.settings().writeString(kKitDirectory, *folder);
        const SegmentStore* loop = form_.renderedLoop();
        const std::string path = localPath(*folder);
        const std::string name = kitName(localPath(form_.currentFileName()), path);
        StatusPanel* status = form_.statusPanel(0);
        try {
            writeKit(path, name, *loop);
        } catch (const std::exception& failure) {
            status->setText(QStringLiteral("Kit not complete: ") +
                            QString::fromLocal8Bit(failure.what()).replace(u'\n', u' '));
            throw;
        }
        status->setText(QStringLiteral("Kit %1 written to %2").arg(fileNameText(name), *folder));
    });
}

} // namespace brev
