// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's tempo and pitch controls: the loaded loop stretched off the GUI thread, and what
// the commands take from it.
#include "audio/clipboard_port.h"
#include "audio/loop_stretcher.h"
#include "audio/loop_tempo.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/tempo_controls.h"
#include "output/tds.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"
#include "tests/ui/fake_dialogs.h"
#include "tests/ui/playback_support.h"
#include "tests/ui/window_probe.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

namespace brev {
namespace {

class TempoEditorTest : public ::testing::Test {
protected:
    void start() {
        form = std::make_unique<TInterfaceForm>();
        EditorOptions options;
        options.makeEngine = [this](int index) { return test::silentEngine(index, capture); };
        options.dialogs = &dialogs;
        options.clipboard = &clipboard;
        options.settingsFile = QString::fromStdString(dir.file("settings.ini"));
        form->start(options);
    }
    void load(const BrevWave::TWave& wave, const char* name) {
        dialogs.files.push_back(QString::fromStdString(test::writeWav(dir, name, wave)));
        probe(*form).component<QToolButton>(u"LoadFromFileButton")->click();
    }
    QDoubleSpinBox& tempo() { return *form->findChild<QDoubleSpinBox*>("TempoSpinBox"); }
    QSpinBox& pitch() { return *form->findChild<QSpinBox*>("PitchSpinBox"); }
    QString ownTempo() { return form->findChild<QLabel*>("OwnTempoLabel")->text(); }
    std::int32_t loadedFrames() { return form->engine().Store().SourceSamples(); }
    QVariant stored(const char* name) {
        return QSettings(QString::fromStdString(dir.file("settings.ini")), QSettings::IniFormat)
            .value(name);
    }

    test::TempFolder dir;
    std::string capture = dir.file("capture.wav");
    test::FakeDialogs dialogs;
    MemoryClipboard clipboard;
    std::unique_ptr<TInterfaceForm> form;
};

TEST_F(TempoEditorTest, TheTargetStretchesTheLoopForEveryCommandAndStaysForTheNextLoad) {
    start();
    EXPECT_EQ(tempo().text(), "Own");
    const BrevWave::TWave twoSeconds = test::rampWave(88200);
    load(twoSeconds, "two.wav");
    EXPECT_EQ(ownTempo(), "own 120.00");
    EXPECT_EQ(loadedFrames(), 88200);

    tempo().setValue(140);
    EXPECT_EQ(loadedFrames(), stretchedFrames(88200, {14000, 0}));
    EXPECT_EQ(ownTempo(), "own 120.00") << "the loop's own, not the stretched one";
    EXPECT_EQ(stored("Target tempo").toInt(), 14000);
    const QString saved = QString::fromStdString(dir.file("saved.wav"));
    dialogs.files.push_back(saved);
    probe(*form).component<QToolButton>(u"SaveToFileButton")->click();
    probe(*form).component<QToolButton>(u"CopyToClipBoardButton")->click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    BrevWave::TWave file, copied;
    file.LoadFromFile(saved.toStdString());
    copied.LoadFromClipboard(clipboard);
    EXPECT_EQ(file.GetSamples(), loadedFrames());
    EXPECT_EQ(test::bytesOf(copied), test::bytesOf(file));

    // The next break is to fit the same song: it comes in at the target too.
    const BrevWave::TWave oneSecond = test::rampWave(44100);
    load(oneSecond, "one.wav");
    EXPECT_EQ(ownTempo(), "own 240.00");
    EXPECT_EQ(loadedFrames(), stretchedFrames(44100, {14000, 0}));

    // A change while the loop plays takes over where a pass ends, the newer of two, without a gap;
    // one left at a stop is made at once. Each is the stretch brev-render makes.
    const test::Bytes up1 = test::bytesOf(stretchLoop(oneSecond, {14000, 1}));
    const test::Bytes up3 = test::bytesOf(stretchLoop(oneSecond, {14000, 3}));
    auto source = [&] { return test::bytesOf(form->engine().Store().source()); };
    probe(*form).component<QToolButton>(u"PlayButton")->click();
    const test::Bytes before = form->engine().outputBytes();
    pitch().setValue(2);
    pitch().setValue(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return source() == up3; }, 30000));
    const test::Bytes after = form->engine().outputBytes();
    ASSERT_TRUE(QTest::qWaitFor([&] { return test::litLed(*form) == 15; }, 5000));
    pitch().setValue(1);
    probe(*form).component<QToolButton>(u"StopButton")->click();
    EXPECT_EQ(source(), up1);
    EXPECT_EQ(stored("Pitch").toInt(), 1);
    pitch().setValue(0);
    tempo().setValue(tempo().minimum());
    EXPECT_EQ(tempo().text(), "Own");
    EXPECT_EQ(test::bytesOf(form->engine().Store().source()), test::bytesOf(oneSecond));

    // Stepping up from Own starts at the loop's own tempo.
    tempo().stepBy(1);
    EXPECT_DOUBLE_EQ(tempo().value(), 241.00);

    form.reset();
    BrevWave::TWave played;
    played.LoadFromFile(capture);
    const test::Bytes sound = test::bytesOf(played);
    // Whole passes of the old loop, then the new one from its first frame.
    const auto switched = std::search(sound.begin(), sound.end(), after.begin(),
                                      after.begin() + static_cast<long>(after.size() * 3 / 4));
    ASSERT_GT(switched, sound.begin());
    for (auto pass = sound.begin(); pass < switched; pass += static_cast<long>(before.size()))
        EXPECT_TRUE(std::equal(before.begin(), before.end(), pass));

    start();
    EXPECT_DOUBLE_EQ(tempo().value(), 241.00);
    EXPECT_EQ(ownTempo(), "own -");
}

TEST_F(TempoEditorTest, ATargetTheLoopCannotReachLoadsItAtItsOwnTempoAndSaysWhy) {
    start();
    tempo().setValue(20);
    load(test::rampWave(1600), "short.wav"); // 6615 BPM
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(
        "Cannot stretch the loop from its own 6615.00 BPM to 20.00 BPM"))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(loadedFrames(), 1600);
}

TEST_F(TempoEditorTest, WhatIsSetIsShownCanBeTypedBackAndIsKeptOnlyWhenDone) {
    start();
    load(test::rampWave(88200), "two.wav"); // 120 BPM
    auto status = [&] { return form->statusPanel(0)->text(); };
    tempo().setValue(140);
    pitch().setValue(3);
    EXPECT_TRUE(status().endsWith("two.wav at 140.00 BPM, +3 st (own 120.00)"))
        << status().toStdString();
    pitch().setValue(0);
    // "Own" typed in any case, or an empty box; the wheel comes back to it the way it went.
    for (const char* own : {"own", "OWN", ""}) {
        tempo().setValue(130);
        tempo().selectAll();
        QTest::keyClick(&tempo(), Qt::Key_Delete);
        QTest::keyClicks(&tempo(), own);
        QTest::keyClick(&tempo(), Qt::Key_Return);
        EXPECT_EQ(tempo().text(), "Own") << own;
    }
    EXPECT_FALSE(status().contains("BPM"));
    for (int steps : {1, 1, -1, -1, -1, 1})
        tempo().stepBy(steps);
    EXPECT_EQ(tempo().text(), "Own");
    tempo().stepBy(-1);
    EXPECT_EQ(tempo().value(), 119);
    tempo().setValue(400);
    const auto* text = tempo().findChild<QLineEdit*>();
    EXPECT_GE(text->width(), text->fontMetrics().horizontalAdvance(tempo().text()));

    // Cancelled, a stretch leaves the target as it was, in the settings too.
    tempo().setValue(tempo().minimum());
    load(test::rampWave(90 * 44100), "long.wav"); // long enough to show its progress
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (auto* progress = form->findChild<QProgressDialog*>("LoadProgress"))
            progress->findChild<QPushButton*>()->click();
    });
    cancel.start(20);
    tempo().setValue(20);
    cancel.stop();
    EXPECT_EQ(tempo().text(), "Own");
    EXPECT_EQ(stored("Target tempo").toInt(), 0);
}

} // namespace
} // namespace brev
