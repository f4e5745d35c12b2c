// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Info, Help and table buttons of the toolbar, with the desktop's viewer replaced.
#include "audio/twave.h"
#include "controls/brev_check_text.h"
#include "controls/brev_number.h"
#include "editor/core/info_picture.h"
#include "editor/ui/info_handlers.h"
#include "tests/ui/tool_test_support.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

using namespace brev;
using namespace brev::test;

TEST(InfoWindowTest, ShiftInfoDrawsThePictureOnce) {
    StartedEditor editor;
    TInterfaceForm& form = *editor.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* smartFades = qobject_cast<QToolButton*>(probe(form).findComponent(u"SmartFadesButton"));
    smartFades->setChecked(true);

    click(form, u"InfoButton", Qt::ShiftModifier);
    ASSERT_FALSE(smartFades->isChecked());
    const char* rows[] = {"Reverse", "Mute", "MuteLeft", "MuteRight", "Flip", "Phase"};
    for (int row = 0; row < 6; ++row) {
        for (int slot = 0; slot < 16; ++slot) {
            const auto name = QStringLiteral("%1%2CheckText").arg(rows[row]).arg(slot);
            ASSERT_EQ(probe(form).component<TBrevCheckText>(name)->Value(),
                      infoPictureCell(row, slot));
        }
    }

    int changes = 0;
    const Subscription counted =
        form.pattern().addHandlers([&](const ControlInfo&, int) { ++changes; });
    click(form, u"InfoButton", Qt::ShiftModifier);
    ASSERT_EQ(changes, 0);
    ASSERT_TRUE(editor.dialogs.messages.isEmpty());

    // Without Shift: the output's capability report, then what the output is doing.
    click(form, u"InfoButton");
    ASSERT_EQ(editor.dialogs.messages.size(), 1);
    const QStringList report = editor.dialogs.messages[0].split(u'\n');
    ASSERT_EQ(report.mid(0, 7),
              QString::fromStdString(form.engine().ShowCapabilities()).trimmed().split(u'\n'));
    ASSERT_EQ(report.mid(8), (QStringList{"Device: System default output", report[9],
                                          "Period: 256 frames, latency 0.0 ms", "Underflows: 0"}));
    ASSERT_TRUE(report[9].startsWith(QStringLiteral("Output: silent. ")));
    ASSERT_EQ(changes, 0);
}

TEST(InfoWindowTest, HelpOpensTheFileBesideTheProgramOrSaysItIsMissing) {
    StartedEditor editor;
    TInterfaceForm& form = *editor.form;
    RecordingViewer viewer;
    auto* handlers = form.findChild<InfoHandlers*>();
    ASSERT_TRUE(handlers);
    handlers->setViewer(&viewer);
    handlers->setProgramDirectory(editor.folder.path());
    const QString help = editor.folder.filePath(QStringLiteral("brevedit.chm"));

    qobject_cast<QToolButton*>(probe(form).findComponent(u"HelpButton"))->click();
    QTest::keyClick(&form, Qt::Key_F1);
    const QString missing = help + QStringLiteral(" seems to be missing");
    ASSERT_EQ(editor.dialogs.messages, (QStringList{missing, missing}));
    ASSERT_TRUE(viewer.opened.isEmpty());

    ASSERT_TRUE(QFile(help).open(QIODevice::WriteOnly));
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_EQ(viewer.opened, QStringList{help});
    ASSERT_EQ(editor.dialogs.messages.size(), 2);

    // No viewer for the compiled help: the web pages open instead, or the path is named.
    viewer.opened.clear();
    viewer.refused = {QStringLiteral(".chm")};
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_EQ(editor.dialogs.messages.size(), 3);
    ASSERT_TRUE(editor.dialogs.messages.last().contains(help));
    ASSERT_TRUE(QDir(editor.folder.path()).mkpath(QStringLiteral("html")));
    const QString pages = editor.folder.filePath(QStringLiteral("html/index.html"));
    ASSERT_TRUE(QFile(pages).open(QIODevice::WriteOnly));
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_EQ(viewer.opened, QStringList{pages});
    ASSERT_EQ(editor.dialogs.messages.size(), 3);

    // Neither shows: the message names both files tried.
    viewer.refused << QStringLiteral(".html");
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_TRUE(editor.dialogs.messages.last().contains(help + QStringLiteral(" or ") + pages));
    viewer.refused.clear();
    ASSERT_TRUE(QFile::remove(help)); // the pages alone open too
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_EQ(viewer.opened.last(), pages);
}

TEST(InfoWindowTest, TableWrittenForTheLoadedLoopAndOpened) {
    StartedEditor editor;
    TInterfaceForm& form = *editor.form;
    RecordingViewer viewer;
    form.findChild<InfoHandlers*>()->setViewer(&viewer);
    qputenv("XDG_RUNTIME_DIR", editor.folder.path().toLocal8Bit());
    auto* table = qobject_cast<QToolButton*>(probe(form).findComponent(u"TableButton"));

    table->click();
    ASSERT_EQ(editor.dialogs.messages, QStringList{QStringLiteral("Load some audio first")});
    ASSERT_TRUE(viewer.opened.isEmpty());

    // Two seconds of silence, loaded as the user does.
    const QString wave = editor.folder.filePath(QStringLiteral("loop.wav"));
    const std::vector<char> silence(88200 * 4);
    BrevWave::TWave(silence.data(), static_cast<std::int32_t>(silence.size()))
        .SaveToFile(wave.toStdString());
    editor.dialogs.files = {wave};
    qobject_cast<QToolButton*>(probe(form).findComponent(u"LoadFromFileButton"))->click();
    ASSERT_TRUE(editor.dialogs.warnings.isEmpty());

    // The swing shown is the control's, even before a reload applies it.
    probe(form).component<TBrevNumber>(u"SwingNumber")->SetValue(25);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    table->click();
    QLocale::setDefault(QLocale::c());
    const QString page = editor.folder.filePath(QStringLiteral("brev-editor/brev_table.html"));
    ASSERT_EQ(viewer.opened, QStringList{page});
    QFile written(page);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray html = written.readAll();
    ASSERT_TRUE(html.contains("<h1>Filename</h1>\r\n" + wave.toUtf8() + "\r\n"));
    ASSERT_TRUE(html.contains("<li>120,01 BPM</li>\r\n<li>25% swing</li>"));
    ASSERT_TRUE(html.contains("1/2 (long)"));

    viewer.refused = {QStringLiteral(".html")};
    table->click();
    ASSERT_TRUE(editor.dialogs.messages.last().contains(page));
}
