// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The gang column, arrows and pattern files as a user reaches them: by clicking the window.
#include "audio/twave.h"
#include "controls/brev_check_text.h"
#include "controls/brev_number.h"
#include "controls/brev_pulse_button.h"
#include "tests/ui/tool_test_support.h"

#include <QFile>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

using namespace brev;
using namespace brev::test;

namespace {

bool flag(TInterfaceForm& form, const char* row, int slot) {
    return probe(form)
        .component<TBrevCheckText>(
            QStringLiteral("%1%2CheckText").arg(QLatin1String(row)).arg(slot))
        ->Value();
}

int number(TInterfaceForm& form, const char* row, int slot) {
    return probe(form)
        .component<TBrevNumber>(QStringLiteral("%1%2Number").arg(QLatin1String(row)).arg(slot))
        ->Value();
}

constexpr const char* kEffectRows[][2] = {
    {"Staccato", "Staccato"}, {"Deckstop", "Deckstop"}, {"Reverse", "Reverse"},
    {"Mute", "Mute"},         {"MuteLeft", "MuteLeft"}, {"MuteRight", "MuteRight"},
    {"Flip", "Flip"},         {"Invert", "Phase"},
};

} // namespace

TEST(PatternToolsWindowTest, GangColumnActsOnUnlockedSlotsOnly) {
    StartedEditor editor;
    TInterfaceForm& form = *editor.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    click(form, u"Lock3CheckText");
    click(form, u"Lock12CheckText");

    // Each press holds the window for its 200 ms flash: two rounds are enough.
    for (const char* action : {"All", "Inverse"}) {
        for (const auto& [stem, row] : kEffectRows)
            click(form, QStringLiteral("Gang%1%2Button").arg(QLatin1String(stem), action));
        for (const auto& [stem, row] : kEffectRows) {
            for (int slot = 0; slot < 16; ++slot) {
                const bool locked = slot == 3 || slot == 12;
                ASSERT_EQ(flag(form, row, slot), !locked && qstrcmp(action, "All") == 0);
            }
        }
    }

    // The gang segment's arrows write every unlocked slot on each step.
    click(form, u"UpArrow16");
    click(form, u"UpArrow16");
    click(form, u"UpArrow16");
    click(form, u"DownArrow16");
    ASSERT_EQ(probe(form).component<TBrevNumber>(u"GangSegmentNumber")->Value(), 2);
    for (int slot = 0; slot < 16; ++slot)
        ASSERT_EQ(number(form, "Segment", slot), slot == 3 || slot == 12 ? slot : 2);

    // Pool exclude ignores locks; an empty pool says so and changes nothing.
    click(form, u"GangExcludeAllButton");
    click(form, u"GangRandomSegmentButton");
    ASSERT_EQ(editor.dialogs.messages, QStringList{QStringLiteral("Pool empty")});
    ASSERT_EQ(number(form, "Segment", 0), 2);
    ASSERT_TRUE(flag(form, "Exclude", 3) && flag(form, "Exclude", 12));

    // Clone overwrites even a locked slot: slot 12 copies slot 13's segment.
    click(form, u"CloneNext12Button");
    ASSERT_EQ(number(form, "Segment", 12), 2);
}

TEST(PatternToolsWindowTest, PatternSavedAndLoadedThroughDialogs) {
    StartedEditor editor;
    TInterfaceForm& form = *editor.form;
    const QString folder = editor.folder.path();
    const QString file = folder + QStringLiteral("/break.brev");
    probe(form).component<TBrevNumber>(u"Volume5Number")->SetValue(7);
    probe(form).component<TBrevCheckText>(u"Reverse2CheckText")->SetValue(true);
    probe(form).component<TBrevNumber>(u"SwingNumber")->SetValue(20);

    editor.dialogs.files = {file};
    qobject_cast<QToolButton*>(probe(form).findComponent(u"SavePatternButton"))->click();
    ASSERT_EQ(editor.dialogs.requests.size(), 1);
    ASSERT_EQ(editor.dialogs.requests[0].defaultExtension, QStringLiteral("brev"));
    ASSERT_EQ(editor.dialogs.requests[0].filter, QStringLiteral("Brev|*.brev"));
    ASSERT_EQ(editor.dialogs.requests[0].suggestedName, QString());
    ASSERT_EQ(form.settings().readString(QStringLiteral("Pattern directory"), {}),
              folder + QLatin1Char('/'));

    probe(form).component<TBrevNumber>(u"Volume5Number")->SetValue(0);
    probe(form).component<TBrevCheckText>(u"Reverse2CheckText")->SetValue(false);
    probe(form).component<TBrevNumber>(u"SwingNumber")->SetValue(0);
    const QString caption = form.windowTitle();

    // Cancelled: nothing read, the caption stays.
    qobject_cast<QToolButton*>(probe(form).findComponent(u"LoadPatternButton"))->click();
    ASSERT_EQ(editor.dialogs.requests.last().directory, folder + QLatin1Char('/'));
    ASSERT_EQ(probe(form).component<TBrevNumber>(u"Volume5Number")->Value(), 0);
    ASSERT_EQ(form.windowTitle(), caption);

    QFile text(file);
    ASSERT_TRUE(text.open(QIODevice::Append));
    text.write("Comment=Break A\r\n");
    text.close();
    editor.dialogs.files = {file};
    qobject_cast<QToolButton*>(probe(form).findComponent(u"LoadPatternButton"))->click();
    ASSERT_EQ(probe(form).component<TBrevNumber>(u"Volume5Number")->Value(), 7);
    ASSERT_TRUE(probe(form).component<TBrevCheckText>(u"Reverse2CheckText")->Value());
    ASSERT_EQ(probe(form).component<TBrevNumber>(u"SwingNumber")->Value(), 20);
    ASSERT_EQ(form.windowTitle(), QStringLiteral("BREV Edit - Break A"));

    // A save that cannot be written says why and leaves the file alone.
    ASSERT_TRUE(editor.dialogs.errors.isEmpty());
    editor.dialogs.files = {folder + QStringLiteral("/missing/other.brev")};
    qobject_cast<QToolButton*>(probe(form).findComponent(u"SavePatternButton"))->click();
    ASSERT_EQ(editor.dialogs.errors.size(), 1);

    // With a loop loaded, the name offered is the loop's.
    const QString loop = folder + QStringLiteral("/groove.take2.wav");
    const std::vector<char> silence(4410 * 4);
    BrevWave::TWave(silence.data(), static_cast<std::int32_t>(silence.size()))
        .SaveToFile(loop.toStdString());
    editor.dialogs.files = {loop};
    qobject_cast<QToolButton*>(probe(form).findComponent(u"LoadFromFileButton"))->click();
    qobject_cast<QToolButton*>(probe(form).findComponent(u"SavePatternButton"))->click();
    ASSERT_EQ(editor.dialogs.requests.last().suggestedName, QStringLiteral("groove.take2.brev"));
}
