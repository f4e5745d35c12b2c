// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/ui/desktop_viewer.h"
#include "editor/ui/interface_form.h"
#include "output/tds.h"
#include "tests/ui/fake_dialogs.h"
#include "tests/ui/window_probe.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace brev::test {

class RecordingViewer final : public DesktopViewer {
public:
    QStringList opened;
    QStringList refused; // suffixes of files the desktop has no viewer for
    bool openFile(const QString& path) override {
        for (const QString& suffix : refused) {
            if (path.endsWith(suffix))
                return false;
        }
        opened << path;
        return true;
    }
};

// Clicks a control where the user would, through the window, so the press takes its real path.
inline void click(TInterfaceForm& form, QStringView name, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* widget = probe(form).findComponent(name);
    ASSERT_TRUE(widget) << name.toString().toStdString();
    const QPoint centre = widget->mapTo(&form, widget->rect().center());
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, modifiers, centre);
}

// A started editor window on the silent output, with its settings in a folder of its own.
struct StartedEditor {
    QTemporaryDir folder;
    FakeDialogs dialogs;
    std::unique_ptr<TInterfaceForm> form;

    StartedEditor() {
        form = std::make_unique<TInterfaceForm>();
        EditorOptions options;
        options.makeEngine = [](int index) {
            OutputOptions output;
            output.nullOutput = true;
            return std::make_unique<TDS>(index, output);
        };
        options.dialogs = &dialogs;
        options.settingsFile = folder.filePath(QStringLiteral("settings.ini"));
        form->start(options);
    }
};

} // namespace brev::test
