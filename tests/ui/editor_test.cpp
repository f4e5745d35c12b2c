// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's commands and lifecycle, headless: offscreen windows, the null output with its
// capture, answered dialogs and a memory clipboard.
#include "audio/audio_import.h"
#include "audio/clipboard_port.h"
#include "base/error.h"
#include "controls/brev_led.h"
#include "editor/core/pattern_model.h"
#include "editor/core/pattern_tools.h"
#include "editor/ui/background_load.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/loop_drag_handle.h"
#include "editor/ui/single_instance.h"
#include "editor/ui/waveform_strip.h"
#include "output/notify_thread.h"
#include "output/null_output.h"
#include "output/tds.h"
#include "tests/output/jack_test_server.h"
#include "tests/support/error_of.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"
#include "tests/ui/fake_dialogs.h"
#include "tests/ui/playback_support.h"
#include "tests/ui/window_probe.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLockFile>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define BREV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BREV_ADDRESS_SANITIZER 1
#endif
#endif
#if BREV_ADDRESS_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

using namespace brev;
using brev::test::countingWave;
using brev::test::FakeDialogs;
using brev::test::samplesOf;
using brev::test::TempFolder;

namespace {

constexpr int kRegion = 2205;       // frames per slot of the test loop
constexpr int kLoop = 16 * kRegion; // 0.8 s

// The left sample of a source frame of countingWave.
int sourceLeft(int frame) {
    return frame % 30000 + 1;
}

// Throws from every slot start, as a failing render would.
class FailingForm : public TInterfaceForm {
public:
    void BufferEventHandler(int) override { throw Error("TDS::GetSegment(), Index out of bounds"); }
};

// A render that fails half-way through the loop.
class FailingRenderForm : public TInterfaceForm {
public:
    void RenderSegment(int slot) override {
        if (slot == 5)
            throw Error("TInterfaceForm::RenderSegment() - segment 0 length");
        TInterfaceForm::RenderSegment(slot);
    }
};

class EditorTest : public ::testing::Test {
protected:
    EditorOptions options() {
        EditorOptions o;
        o.makeEngine = [this](int index) {
            if (failingDevices.count(index))
                throw Error("DirectSoundCreate8() failed");
            if (realOutput) {
                OutputOptions output;
                output.nullOutput = false;
                return std::make_unique<TDS>(index, output);
            }
            return brev::test::silentEngine(index, capture);
        };
        o.dialogs = &dialogs;
        o.clipboard = &clipboard;
        o.settingsFile = settingsFile();
        return o;
    }

    TInterfaceForm& start(std::unique_ptr<TInterfaceForm> window = nullptr) {
        form = window ? std::move(window) : std::make_unique<TInterfaceForm>();
        form->start(options());
        return *form;
    }

    QString settingsFile() const { return QString::fromStdString(dir.file("config/settings.ini")); }
    QString status(int panel) const { return form->statusPanel(panel)->text(); }
    void click(const char* name) {
        probe(*form).component<QToolButton>(QString::fromLatin1(name))->click();
    }
    PatternAccess& pattern() { return form->pattern(); }
    // A toolbar toggle, of the pattern or not (the hints).
    bool toolDown(const char* name) {
        return probe(*form).component<QToolButton>(QString::fromLatin1(name))->isChecked();
    }

    QString loopFile(const char* name = "loop.wav", int frames = kLoop) {
        std::string path = brev::test::writeWav(dir, name, countingWave(frames, 7));
        return QString::fromStdString(path);
    }
    void load(const QString& path) {
        dialogs.files.push_back(path);
        click("LoadFromFileButton");
    }
    int litLed() const { return brev::test::litLed(*form); }
    // The left channel of everything the null output played; closes the editor to complete it.
    std::vector<std::int16_t> capturedLeft() {
        form.reset();
        return brev::test::leftChannelOf(capture);
    }

    TempFolder dir;
    FakeDialogs dialogs;
    MemoryClipboard clipboard;
    std::string capture;
    std::set<int> failingDevices;
    bool realOutput = false; // the default device, or JACK when sync asks for it
    std::unique_ptr<TInterfaceForm> form;
};

TEST_F(EditorTest, FirstStartUsesTheDefaultsAndCloseWritesThem) {
    start();
    EXPECT_TRUE(QFile::exists(settingsFile()));
    EXPECT_EQ(pattern().NumberValue("FadeSamplesNumber"), 100);
    EXPECT_EQ(pattern().NumberValue("SwingNumber"), 0);
    EXPECT_EQ(pattern().NumberValue("CuttingAngleNumber"), 0);
    for (const char* toggle :
         {"LoopButton", "SmartFadesButton", "HintsButton", "InnerFadesButton", "LogFadesButton"})
        EXPECT_TRUE(toolDown(toggle)) << toggle;
    EXPECT_TRUE(probe(*form).hintsShown());
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(probe(*form).driverIndex(), 0);
    EXPECT_EQ(probe(*form).driversComboBox()->currentIndex(), 0);
    EXPECT_TRUE(probe(*form).driversComboBox()->currentText().endsWith(QStringLiteral("(silent)")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("BREV Editor 1.0.0.18"));
    EXPECT_EQ(status(0), QStringLiteral("(Nothing loaded)"));
    EXPECT_EQ(status(1), QStringLiteral("Playback: 0 Hz"));
    EXPECT_EQ(status(2), QStringLiteral("-"));
    EXPECT_EQ(status(3), QStringLiteral("Angle offset 0 samples"));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    form.reset();
    QSettings stored(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Driver index").toInt(), 0);
    EXPECT_EQ(stored.value("Fade samples").toInt(), 100);
    EXPECT_EQ(stored.value("Loop").toInt(), 1);
    EXPECT_EQ(stored.value("Background color").toInt(), 8421504);
    EXPECT_EQ(stored.allKeys().size(), 10);
}

TEST_F(EditorTest, SettingsComeBackAtTheNextStart) {
    start();
    pattern().SetNumberValue("FadeSamplesNumber", 250);
    pattern().SetNumberValue("SwingNumber", 30);
    pattern().SetNumberValue("CuttingAngleNumber", 45);
    click("LoopButton");  // up
    click("HintsButton"); // up
    dialogs.colour = QColor(0x10, 0x20, 0x30);
    click("BackgroundColorButton");
    form.reset();

    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Background color").toInt(),
              0x302010);
    start();
    EXPECT_EQ(pattern().NumberValue("FadeSamplesNumber"), 250);
    EXPECT_EQ(pattern().NumberValue("SwingNumber"), 30);
    EXPECT_EQ(pattern().NumberValue("CuttingAngleNumber"), 45);
    EXPECT_EQ(status(3), QStringLiteral("Angle offset 742 samples"));
    EXPECT_FALSE(toolDown("LoopButton"));
    EXPECT_FALSE(toolDown("HintsButton"));
    EXPECT_FALSE(probe(*form).hintsShown());
    EXPECT_TRUE(pattern().toggleDown("SmartFadesButton"));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
}

TEST_F(EditorTest, SettingsThatCannotBeWrittenAtCloseAreReported) {
    start();
    // Where the settings folder was, a file: nothing can be written there, not even by root.
    std::filesystem::remove_all(dir.file("config"));
    std::ofstream(dir.file("config")) << "in the way";
    ::testing::internal::CaptureStderr();
    form.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The settings could not be written to " + settingsFile().toStdString() + "\n");
}

TEST_F(EditorTest, BadStoredValuesFallBackQuietly) {
    {
        QSettings stored(settingsFile(), QSettings::IniFormat);
        stored.setValue("Driver index", 7); // beyond the list of one output
        stored.setValue("Fade samples", "many");
        stored.setValue("Swing percentage", 400); // clamped by its control
    }
    start();
    EXPECT_EQ(probe(*form).driverIndex(), 0);
    EXPECT_EQ(probe(*form).driversComboBox()->currentIndex(), 0);
    EXPECT_EQ(pattern().NumberValue("FadeSamplesNumber"), 100);
    EXPECT_EQ(pattern().NumberValue("SwingNumber"), 100);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(EditorTest, AStoredDeviceThatFailsFallsBackToTheFirstAndStoresIt) {
    QSettings(settingsFile(), QSettings::IniFormat).setValue("Driver index", 3);
    failingDevices = {3};
    start();
    EXPECT_EQ(dialogs.messages,
              QStringList{QStringLiteral("We've defaulted to the primary DirectSound device.")});
    EXPECT_EQ(probe(*form).driverIndex(), 0);
    // Stored at once, not only at close.
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Driver index").toInt(), 0);
}

TEST_F(EditorTest, LoadFillsTheStatusBarAndRemembersTheFolder) {
    start();
    const QString path = loopFile();
    load(path);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].defaultExtension, QStringLiteral("wav"));
    EXPECT_TRUE(dialogs.requests[0].filter.startsWith(QStringLiteral("Audio|*.wav ")));
    EXPECT_TRUE(dialogs.requests[0].filter.contains(QStringLiteral(" *.flac ")));
    EXPECT_EQ(status(0), path);
    EXPECT_EQ(status(1), QStringLiteral("Playback: 44100 Hz"));
    EXPECT_EQ(status(2), QStringLiteral("%1 samples").arg(kLoop));
    EXPECT_EQ(probe(*form).component<QToolButton>(u"RevertButton")->toolTip(), "Revert " + path);
    EXPECT_NE(form->notifyThread(), nullptr);

    // The next dialog opens in the folder of the last file.
    dialogs.files.push_back(QString());
    click("LoadFromFileButton");
    EXPECT_EQ(dialogs.requests.last().directory, QString::fromStdString(dir.path().string()) + "/");
}

TEST_F(EditorTest, CancelledOrFailedLoadStillStopsAndRefreshes) {
    start();
    const QString loop = loopFile();
    load(loop);
    click("PlayButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() >= 0; }, 3000));
    form->statusPanel(2)->setText("stale");

    click("LoadFromFileButton"); // cancelled
    EXPECT_FALSE(form->engine().IsPlaying());
    EXPECT_EQ(litLed(), -1);
    EXPECT_EQ(status(2), QStringLiteral("%1 samples").arg(kLoop));

    const QString broken = QString::fromStdString(dir.file("broken.wav"));
    QFile(broken).open(QIODevice::WriteOnly);
    const std::string reason = brev::test::errorOf([&] { loadAudioFile(broken.toStdString()); });
    load(broken);
    EXPECT_EQ(dialogs.warnings, QStringList("Sorry, but I was unable to load " + broken + "\n" +
                                            QString::fromStdString(reason)));
    EXPECT_EQ(form->currentFileName(), loop);
    EXPECT_EQ(status(0), loop);
    // The engine kept the previous loop, and playback of it still follows the pattern.
    EXPECT_TRUE(form->engine().IsLoaded());
    ASSERT_NE(form->notifyThread(), nullptr);
    EXPECT_FALSE(form->notifyThread()->Finished());
}

TEST_F(EditorTest, RevertNeedsAFileThatStillExists) {
    start();
    click("RevertButton");
    EXPECT_EQ(dialogs.messages, QStringList{"Nothing to revert from"});

    const QString path = loopFile();
    load(path);
    click("PlayButton");
    // A swing cuts the loop again at once, which plays on, and a revert keeps it: even segments
    // grow.
    pattern().SetNumberValue("SwingNumber", 50);
    EXPECT_TRUE(form->engine().IsPlaying());
    EXPECT_GT(form->engine().Store().NaturalLength(0), form->engine().Store().NaturalLength(1));
    click("RevertButton");
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_GT(form->engine().Store().NaturalLength(0), form->engine().Store().NaturalLength(1));

    QFile::remove(path);
    click("RevertButton");
    EXPECT_EQ(dialogs.messages.last(), "It look like you've deleted " + path);
}

TEST_F(EditorTest, PasteLoadsTheClipboardAndForgetsTheFile) {
    start();
    const QString path = loopFile();
    load(path);

    clipboard.setWaveBytes({'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    click("PasteFromClipBoardButton");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("Error loading data from clipboard\n"))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(status(0), path); // the old loop stays

    BrevWave::TWave wave = countingWave(kLoop / 2, 3);
    wave.SaveToClipboard(clipboard);
    click("PasteFromClipBoardButton");
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(status(0), QStringLiteral("(Clipboard data)"));
    EXPECT_EQ(status(2), QStringLiteral("%1 samples").arg(kLoop / 2));
    EXPECT_EQ(probe(*form).component<QToolButton>(u"RevertButton")->toolTip(), "Revert " + path);
    click("RevertButton");
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("Nothing to revert from"));
}

TEST_F(EditorTest, CommandsThatNeedAudioSaySoAndTouchNothing) {
    start();
    clipboard.setWaveBytes({1, 2, 3});
    click("PlayButton");
    click("SaveToFileButton");
    click("CopyToClipBoardButton");
    EXPECT_EQ(dialogs.messages, QStringList(3, "Load some audio first"));
    EXPECT_TRUE(dialogs.requests.isEmpty()); // no save dialog
    EXPECT_EQ(clipboard.setCount(), 1);
    EXPECT_EQ(clipboard.waveBytes(), (std::vector<std::uint8_t>{1, 2, 3}));

    // Space with nothing loaded does nothing visible.
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_FALSE(form->engine().IsPlaying());
    EXPECT_EQ(dialogs.messages.size(), 3);
}

TEST_F(EditorTest, SaveAndCopyWriteTheRenderedLoop) {
    start();
    load(loopFile("break.mp3.wav"));
    pattern().setToggleDown("SmartFadesButton", false);
    pattern().SetCheckValue("Reverse2CheckText", true);

    const QString saved = QString::fromStdString(dir.file("out/pattern.wav"));
    QDir().mkpath(QFileInfo(saved).absolutePath());
    dialogs.files.push_back(saved);
    click("SaveToFileButton");
    EXPECT_EQ(dialogs.requests.last().suggestedName, QStringLiteral("break.mp3.wav"));
    EXPECT_EQ(status(0), "Rendered loop saved as " + saved);
    click("CopyToClipBoardButton");
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();

    BrevWave::TWave file, copied;
    file.LoadFromFile(saved.toStdString());
    copied.LoadFromClipboard(clipboard);
    const std::vector<std::int16_t> samples = samplesOf(file);
    ASSERT_EQ(file.GetSamples(), kLoop);
    EXPECT_EQ(samplesOf(copied), samples);
    EXPECT_EQ(samples[2 * (2 * kRegion)], sourceLeft(3 * kRegion - 1)); // reversed slot 2
    EXPECT_EQ(samples[2 * (3 * kRegion)], sourceLeft(3 * kRegion));
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Load directory").toString(),
              QString::fromStdString(dir.file("out/")));
}

TEST_F(EditorTest, CtrlEWritesTheKitIntoTheChosenFolderAndRemembersIt) {
    start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(dialogs.messages, QStringList("Load some audio first"));

    load(loopFile("my loop.wav"));
    pattern().setToggleDown("SmartFadesButton", false);
    pattern().SetCheckValue("Reverse2CheckText", true);
    const QString folder = QString::fromStdString(dir.file("kits/new"));
    dialogs.files.push_back(folder);
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    EXPECT_EQ(status(0), "Kit my loop written to " + folder);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 19);
    BrevWave::TWave slot;
    slot.LoadFromFile(dir.file("kits/new/my loop-03.wav"));
    EXPECT_EQ(samplesOf(slot)[0], sourceLeft(3 * kRegion - 1)); // reversed, as it is heard

    // The next export opens where this one went; a file it cannot replace is named.
    QDir(folder).remove("my loop.sfz");
    QDir(folder).mkdir("my loop.sfz");
    dialogs.files.push_back(folder);
    probe(*form).component<QToolButton>(u"ExportKitButton")->click();
    EXPECT_EQ(dialogs.requests.last().directory, folder);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith("Unable to write " + folder + "/my loop.sfz\n"))
        << dialogs.errors[0].toStdString();
    EXPECT_TRUE(status(0).startsWith("Kit not complete: Unable to write"))
        << status(0).toStdString();
}

TEST_F(EditorTest, DraggingAnLedOrTheStripTakesThatSlotOut) {
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.file("cache")));
    start();
    load(loopFile("my loop.wav"));
    pattern().setToggleDown("SmartFadesButton", false);
    pattern().SetCheckValue("Reverse5CheckText", true);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // The drag runs its own event loop until the button comes up.
    auto dragFrom = [&](QWidget* widget, QPoint at) {
        QTimer::singleShot(0, widget,
                           [&] { QTest::mouseRelease(form->windowHandle(), Qt::LeftButton); });
        QTest::mousePress(widget, Qt::LeftButton, {}, at);
        QTest::mouseMove(widget, at + QPoint(QApplication::startDragDistance() + 1, 0));
    };
    auto slotFile = [&](int number) {
        BrevWave::TWave wave;
        wave.LoadFromFile(
            dir.file("cache/brev-editor/my loop-0" + std::to_string(number) + ".wav"));
        return samplesOf(wave);
    };
    dragFrom(probe(*form).findComponent(u"LED5"), QPoint(2, 2));
    std::vector<std::int16_t> samples = slotFile(6);
    ASSERT_EQ(samples.size(), 2u * kRegion);
    EXPECT_EQ(samples[0], sourceLeft(6 * kRegion - 1)); // reversed, as it is heard

    WaveformStrip* strip = probe(*form).waveformStrip();
    dragFrom(strip, QPoint(strip->width() * 2 / 16 + 2, 10));
    samples = slotFile(3);
    ASSERT_EQ(samples.size(), 2u * kRegion);
    EXPECT_EQ(samples[0], sourceLeft(2 * kRegion));
    if (cache.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", cache);
}

TEST_F(EditorTest, AWaveThatCannotBeBuiltLeavesClipboardFileAndPlaybackAlone) {
    start(std::make_unique<FailingRenderForm>());
    load(loopFile());
    clipboard.setWaveBytes({4, 5, 6});
    const QString saved = QString::fromStdString(dir.file("pattern.wav"));
    dialogs.files.push_back(saved);

    click("CopyToClipBoardButton");
    click("SaveToFileButton");
    click("PlayButton");
    EXPECT_EQ(dialogs.errors, QStringList(3, "TInterfaceForm::RenderSegment() - segment 0 length"));
    EXPECT_EQ(clipboard.setCount(), 1);
    EXPECT_EQ(clipboard.waveBytes(), (std::vector<std::uint8_t>{4, 5, 6}));
    EXPECT_FALSE(QFile::exists(saved));
    EXPECT_FALSE(form->engine().IsPlaying());
}

// Reads the pattern's fade flags, slot by slot.
std::vector<bool> fadeFlags(const PatternAccess& pattern) {
    std::vector<bool> flags;
    for (int slot = 0; slot < 16; ++slot) {
        flags.push_back(pattern.slotCheck(kFadeInCheckText, slot));
        flags.push_back(pattern.slotCheck(kFadeOutCheckText, slot));
    }
    return flags;
}

TEST_F(EditorTest, ControlChangesRunSmartFadesAsTheCoreDoes) {
    start();
    PatternModel model;
    const Subscription handlers = attachChangeHandlers(model);
    auto both = [&](auto&& edit) {
        edit(pattern());
        edit(static_cast<PatternAccess&>(model));
        EXPECT_EQ(fadeFlags(pattern()), fadeFlags(model));
    };
    both([](PatternAccess& p) { p.SetNumberValue("Segment4Number", 9); });
    both([](PatternAccess& p) { p.SetCheckValue("Reverse7CheckText", true); });
    both([](PatternAccess& p) { p.SetNumberValue("Volume12Number", -20); });
    EXPECT_NE(fadeFlags(pattern()), std::vector<bool>(32, false));

    // While smart fades are up nothing is recomputed; going down recomputes.
    pattern().setToggleDown("SmartFadesButton", false);
    for (int slot = 0; slot < 16; ++slot)
        pattern().SetCheckValue(slotControlName(kFadeInCheckText, slot), false);
    pattern().SetNumberValue("Repeats3Number", 4);
    click("SmartFadesButton");
    model.SetNumberValue("Repeats3Number", 4);
    EXPECT_EQ(fadeFlags(pattern()), fadeFlags(model));
}

TEST_F(EditorTest, EditsDuringLoopedPlaybackAreHeardOneSlotAhead) {
    capture = dir.file("capture.wav");
    start();
    load(loopFile());
    pattern().setToggleDown("SmartFadesButton", false);
    pattern().SetCheckValue("Reverse0CheckText", true); // before play: heard from the start
    click("PlayButton");

    int k = -1;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            k = litLed();
            return k >= 3 && k <= 9;
        },
        3000));
    // Slot k plays and k + 1 is already in place: that edit waits a pass, k + 3 does not.
    pattern().SetCheckValue(slotControlName(kMuteCheckText, k + 1), true);
    pattern().SetCheckValue(slotControlName(kMuteCheckText, k + 3), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() == 0; }, 3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() == 15; }, 3000));
    click("StopButton");
    EXPECT_EQ(litLed(), -1);

    const std::vector<std::int16_t> left = capturedLeft();
    ASSERT_GE(left.size(), size_t(kLoop + 12 * kRegion));
    auto region = [&](int pass, int slot) {
        auto first = left.begin() + pass * kLoop + slot * kRegion;
        return std::vector<std::int16_t>(first, first + kRegion);
    };
    auto silent = [](const std::vector<std::int16_t>& r) {
        return std::all_of(r.begin(), r.end(), [](std::int16_t s) { return s == 0; });
    };
    EXPECT_EQ(region(0, 0).front(), sourceLeft(kRegion - 1));
    EXPECT_EQ(region(0, 0).back(), sourceLeft(0));
    EXPECT_EQ(region(0, k + 1).front(), sourceLeft((k + 1) * kRegion));
    EXPECT_TRUE(silent(region(1, k + 1)));
    EXPECT_TRUE(silent(region(0, k + 3)));
    EXPECT_EQ(region(0, k + 2).front(), sourceLeft((k + 2) * kRegion));
    EXPECT_EQ(region(1, 0).front(), sourceLeft(kRegion - 1));
}

TEST_F(EditorTest, LoopButtonWhilePlayingRestartsFromTheBeginning) {
    capture = dir.file("capture.wav");
    start();
    load(loopFile());
    click("LoopButton"); // stopped: only the flag changes
    EXPECT_FALSE(form->engine().IsPlaying());
    click("LoopButton");
    click("PlayButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() >= 8; }, 3000));
    click("LoopButton"); // now up: one more pass from the start, then silence
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->engine().IsPlaying(); }, 3000));

    const std::vector<std::int16_t> left = capturedLeft();
    // Slot 8's event, which lights its LED, comes a period ahead of its region.
    ASSERT_GT(left.size(), size_t(kLoop + 8 * kRegion - NullOutput::kPeriodFrames));
    ASSERT_LT(left.size(), size_t(2 * kLoop));
    const size_t restart = left.size() - kLoop;
    for (int i : {0, 1, kRegion, kLoop - 1})
        EXPECT_EQ(left[restart + i], sourceLeft(i)) << i;
}

TEST_F(EditorTest, RateButtonsChangeTheSpeedUntilTheNextLoad) {
    capture = dir.file("capture.wav");
    start();
    const QString path = loopFile();
    load(path);
    click("LoopButton"); // play once
    click("F88KButton");
    EXPECT_EQ(status(1), QStringLiteral("Playback: 88200 Hz"));
    click("PlayButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->engine().IsPlaying(); }, 3000));
    click("F22KButton");
    // After playing, a loaded machine may have added late slots to the panel.
    EXPECT_TRUE(status(1).startsWith(QStringLiteral("Playback: 22050 Hz")))
        << qPrintable(status(1));
    load(path);
    EXPECT_TRUE(status(1).startsWith(QStringLiteral("Playback: 44100 Hz")))
        << qPrintable(status(1));

    const std::vector<std::int16_t> left = capturedLeft();
    ASSERT_NEAR(double(left.size()), kLoop / 2.0, 1);
    for (int i : {0, 1, 1000, kLoop / 2 - 1})
        EXPECT_EQ(left[size_t(i)], sourceLeft(2 * i)) << i;
}

TEST_F(EditorTest, TheSyncChoiceOfThePlaybackPanelFollowsJackAndIsKept) {
#if BREV_ADDRESS_SANITIZER
    // The sound device list loads ALSA's plug-ins, which are unloaded with their allocations.
    __lsan::ScopedDisabler alsaPlugins;
#endif
    brev::test::JackTestServer server;
    if (!server.skipReason().empty())
        GTEST_SKIP() << server.skipReason();
    auto master = std::make_unique<brev::test::JackTestClient>(1.0);
    master->becomeTimebaseMaster(140);
    realOutput = true;
    start();
    load(loopFile("loop.wav", 88200)); // 120.01 BPM
    const QList<QAction*> choices = form->statusPanel(1)->actions();
    ASSERT_EQ(choices.size(), 5); // the three clocks, a separator, "Keep pitch"
    EXPECT_TRUE(choices[0]->isChecked());
    choices[1]->trigger();
    EXPECT_TRUE(choices[1]->isChecked());
    ASSERT_EQ(choices[4]->text(), QStringLiteral("Keep pitch"));
    EXPECT_TRUE(choices[4]->isChecked());
    EXPECT_TRUE(form->engine().KeepPitch());
    choices[4]->trigger();
    EXPECT_FALSE(form->engine().KeepPitch());
    click("PlayButton");
    master->startTransport();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return status(1).startsWith(QStringLiteral("Playback: 5144")); }, 3000))
        << qPrintable(status(1));
    EXPECT_TRUE(status(1).contains(QStringLiteral(" \u00b7 JACK 140.0 BPM")))
        << qPrintable(status(1));
    form.reset();
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Sync").toString(), "jack");
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Keep pitch").toInt(), 0);

    // Without a server the next start says why and plays on its own clock.
    master.reset();
    server.kill();
    start();
    EXPECT_TRUE(status(0).startsWith(QStringLiteral("Sync needs a JACK server")))
        << qPrintable(status(0));
    EXPECT_TRUE(form->statusPanel(1)->actions()[0]->isChecked());
    EXPECT_EQ(status(1), QStringLiteral("Playback: 0 Hz"));
}

TEST_F(EditorTest, SpaceTogglesPlaybackAndF1AsksForHelp) {
    start();
    load(loopFile());
    auto down = [&] { return probe(*form).component<QToolButton>(u"PlayButton")->isDown(); };
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_TRUE(form->engine().IsPlaying() && down());
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() >= 0; }, 3000));
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_FALSE(form->engine().IsPlaying() || down());
    EXPECT_EQ(litLed(), -1);
    click("LoopButton"); // up: one pass, and Play comes up by itself
    click("PlayButton");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !down(); }, 3000));

    QSignalSpy help(probe(*form).component<QToolButton>(u"HelpButton"), &QToolButton::clicked);
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(help.count(), 1);
    // Keys reach the window before the focused control, once.
    form->show();
    probe(*form).driversComboBox()->setFocus();
    QTest::keyClick(probe(*form).driversComboBox(), Qt::Key_F1);
    EXPECT_EQ(help.count(), 2);
    // With the device list focused, Space plays and leaves the list closed.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    probe(*form).driversComboBox()->setFocus();
    QTest::keyClick(probe(*form).driversComboBox(), Qt::Key_Space);
    EXPECT_TRUE(form->engine().IsPlaying());
    EXPECT_FALSE(probe(*form).driversComboBox()->view()->isVisible());
}

TEST_F(EditorTest, ADeviceChangeLeavesNoAudioAndAFailedOneChangesNothing) {
    start();
    const QString path = loopFile();
    QComboBox* list = probe(*form).driversComboBox();
    list->addItem("Second output");
    list->addItem("Broken output");
    failingDevices = {2};
    load(path);
    click("PlayButton");

    list->setCurrentIndex(2);
    emit list->activated(2);
    ASSERT_EQ(dialogs.errors, QStringList{"DirectSoundCreate8() failed"});
    EXPECT_EQ(probe(*form).driverIndex(), 0);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_TRUE(form->engine().IsLoaded());
    EXPECT_FALSE(form->engine().IsPlaying());
    ASSERT_NE(form->notifyThread(), nullptr);

    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(probe(*form).driverIndex(), 1);
    EXPECT_FALSE(form->engine().IsLoaded());
    EXPECT_EQ(form->notifyThread(), nullptr);
    EXPECT_EQ(status(0), path); // not refreshed until the next load
    click("PlayButton");
    EXPECT_EQ(dialogs.messages.last(), QStringLiteral("Load some audio first"));
    form.reset();
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Driver index").toInt(), 1);
}

TEST_F(EditorTest, AFailingSlotHandlerStopsFeedbackAndSaysWhy) {
    start(std::make_unique<FailingForm>());
    load(loopFile());
    click("PlayButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->notifyThread()->Finished(); }, 3000));
    EXPECT_EQ(status(0),
              QStringLiteral("Playback feedback stopped: TDS::GetSegment(), Index out of bounds"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    click("StopButton");
    load(loopFile());
    EXPECT_FALSE(form->notifyThread()->Finished());
}

// An output that stops delivering (here a capture on a full disk; the real-sound tests kill a
// sound server) is named in panel 0; playback goes on silently with the loop and the pattern.
TEST_F(EditorTest, ALostOutputIsSaidAndPlaybackGoesOnSilently) {
    capture = "/dev/full";
    start();
    const QString path = loopFile();
    load(path);
    pattern().SetNumberValue("Segment3Number", 9);
    click("PlayButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return status(0).startsWith("Sound output lost"); }, 3000))
        << status(0).toStdString();
    EXPECT_EQ(status(0), QStringLiteral("Sound output lost, playing silently: Unable to write the "
                                        "capture file /dev/full No space left on device"));
    EXPECT_TRUE(form->engine().IsPlaying());
    EXPECT_TRUE(form->engine().silent());
    EXPECT_EQ(form->engine().OutputFailure(), "");
    EXPECT_EQ(form->currentFileName(), path);
    EXPECT_EQ(pattern().NumberValue("Segment3Number"), 9);
    const int lit = litLed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() != lit; }, 3000)) << "the LEDs follow";
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(EditorTest, ClosingWhilePlayingStopsFirstAndHintsFollowTheirButton) {
    start();
    load(loopFile());
    click("PlayButton");
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->engine().IsPlaying());

    QWidget* control = probe(*form).findComponent(u"Segment3Number");
    QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), control->mapToGlobal(QPoint(1, 1)));
    click("HintsButton");
    EXPECT_FALSE(probe(*form).hintsShown());
    EXPECT_TRUE(form->eventFilter(control, &tip));
    click("HintsButton");
    EXPECT_FALSE(form->eventFilter(control, &tip));
}

// The kit's folder dialog, answered with a new folder's name; a refusal's box would be closed.
TEST(FolderDialog, TakesAFolderThatIsNotThereYet) {
    TempFolder dir;
    QWidget window;
    QTimer::singleShot(0, [] {
        auto* dialog = QApplication::activeModalWidget();
        QTimer::singleShot(0, dialog, [] {
            while (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        QTest::keyClicks(dialog->findChild<QWidget*>(QStringLiteral("fileNameEdit")), "kit1\r");
    });
    const QString folder = QString::fromStdString(dir.path().string());
    EXPECT_EQ(QtEditorDialogs(window, nullptr, nullptr, nullptr).chooseFolder({}, folder),
              folder + "/kit1");
}

TEST(SingleInstance, NoOtherUserCanHoldTheGuardWithoutARuntimeFolder) {
    TempFolder dir;
    const auto shared = dir.path() / "shared";
    std::filesystem::create_directory(shared);
    std::filesystem::permissions(shared,
                                 std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
    // The tests after this one in the same process find their environment as it was.
    struct RestoredEnvironment {
        const char* names[3] = {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"};
        std::optional<QByteArray> values[3];
        RestoredEnvironment() {
            for (int i = 0; i < 3; ++i)
                if (qEnvironmentVariableIsSet(names[i]))
                    values[i] = qgetenv(names[i]);
        }
        ~RestoredEnvironment() {
            for (int i = 0; i < 3; ++i)
                values[i] ? qputenv(names[i], *values[i]) : qunsetenv(names[i]);
        }
    } restored;
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QByteArray::fromStdString(shared.string()));
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.file("cache")));
    // A runtime folder of another user's and a lock planted where a shared temp folder would
    // have put them.
    const auto planted_runtime =
        shared / ("runtime-" + qEnvironmentVariable("USER", "root").toStdString());
    std::filesystem::create_directory(planted_runtime);
    std::filesystem::permissions(planted_runtime, std::filesystem::perms::all);
    (void)::chown(planted_runtime.c_str(), 65534, 65534);
    const QString lockName = QLatin1String(SingleInstance::kGuid) + QStringLiteral(".lock");
    QLockFile planted(QString::fromStdString(shared.string()) + u'/' + lockName);
    ASSERT_TRUE(planted.tryLock(0));
    {
        SingleInstance first;
        EXPECT_TRUE(first.acquired());
        EXPECT_TRUE(
            QFile::exists(QString::fromStdString(dir.file("cache/brev-editor/")) + lockName));
        EXPECT_FALSE(SingleInstance().acquired());
    }
    EXPECT_TRUE(SingleInstance().acquired());
}

// --- other formats, background loading, drag and drop --------------------------------------

class EditorFormatsTest : public EditorTest {
protected:
    // A loop in another format, written by sox.
    QString soxFile(const char* name, const char* format) {
        const std::string path = dir.file(name);
        const std::string command = std::string("sox -n ") + format + " '" + path +
                                    "' synth 0.8 sine 300 vol 0.5 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return QString::fromStdString(path);
    }
};

TEST_F(EditorFormatsTest, LoadConvertsAndSaysFromWhatAndAFailureKeepsTheLoop) {
    start();
    const QString flac = soxFile("loop.flac", "-r 48000 -b 24 -c 1");
    load(flac);
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    EXPECT_EQ(status(0), flac + " (from FLAC, 48000 Hz, 24-bit, mono)");
    EXPECT_EQ(status(2), QStringLiteral("%1 samples").arg(kLoop));

    const QString noise = QString::fromStdString(dir.file("noise.ogg"));
    ASSERT_EQ(std::system(("head -c 5000 /dev/urandom > '" + noise.toStdString() + "'").c_str()),
              0);
    load(noise);
    EXPECT_TRUE(dialogs.warnings.value(0).startsWith("Sorry, but I was unable to load " + noise));
    EXPECT_EQ(form->engine().Store().SourceSamples(), kLoop);
    EXPECT_FALSE(form->notifyThread()->Finished());

    // A native WAV drops the note.
    load(loopFile());
    EXPECT_EQ(status(0), form->currentFileName());

    // Save wave writes FLAC for a .flac name, holding exactly the rendered loop.
    const QString saved = QString::fromStdString(dir.file("saved.flac"));
    dialogs.files.push_back(saved);
    click("SaveToFileButton");
    const LoadedAudio back = loadAudioFile(saved.toStdString());
    EXPECT_EQ(back.convertedFrom, "FLAC, 44100 Hz, 16-bit, stereo");
    EXPECT_EQ(samplesOf(back.wave), samplesOf(form->engine().Store().joinSlots()));
}

TEST_F(EditorFormatsTest, DroppedFilesAndWaveDataLoad) {
    start();
    const QString aiff = soxFile("drums.aiff", "-r 44100 -b 16 -c 2");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(aiff)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->engine().IsLoaded(); }, 5000));
    EXPECT_EQ(form->currentFileName(), aiff);
    EXPECT_EQ(status(0), aiff + " (from AIFF, 44100 Hz, 16-bit, stereo)");
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("Load directory").toString(),
              QString::fromStdString(dir.path().string()) + "/");

    // Wave data, as another program drags it out.
    MemoryClipboard bytes;
    countingWave(kLoop / 2, 4).SaveToClipboard(bytes);
    QMimeData data;
    const auto wave = bytes.waveBytes();
    data.setData("audio/wav", QByteArray(reinterpret_cast<const char*>(wave.data()),
                                         static_cast<qsizetype>(wave.size())));
    QDragEnterEvent enterData(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enterData);
    EXPECT_TRUE(enterData.isAccepted());
    QDropEvent dropData(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &dropData);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->engine().Store().SourceSamples() == kLoop / 2; }, 5000))
        << dialogs.messages.join("|").toStdString();
    EXPECT_EQ(status(0), QStringLiteral("(Dropped data)"));
    EXPECT_TRUE(form->currentFileName().isEmpty());

    // Anything else is refused at the door.
    QMimeData text;
    text.setText("loop.wav");
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &other);
    EXPECT_FALSE(other.isAccepted());
}

TEST_F(EditorFormatsTest, TheHandleDragsTheRenderedLoopOutAsAWavFile) {
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.file("cache")));
    start();
    load(loopFile());
    pattern().SetCheckValue("Reverse0CheckText", true);
    form->show();
    QWidget* handle = form->statusPanel(2);
    // Some platforms run the drag in a loop of its own until the button is released.
    QTimer::singleShot(200, handle, [handle] {
        QTest::mouseRelease(handle->window()->windowHandle(), Qt::LeftButton, {},
                            handle->mapTo(handle->window(), QPoint(40, 5)));
    });
    QTest::mousePress(handle->window()->windowHandle(), Qt::LeftButton, {},
                      handle->mapTo(handle->window(), QPoint(5, 5)));
    QTest::mouseMove(handle->window()->windowHandle(),
                     handle->mapTo(handle->window(), QPoint(40, 5)));
    const QString file = QString::fromStdString(dir.file("cache")) + "/brev-editor/loop (BREV).wav";
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(file); }, 3000));
    BrevWave::TWave dragged;
    dragged.LoadFromFile(file.toStdString());
    EXPECT_EQ(samplesOf(dragged), samplesOf(form->engine().Store().joinSlots()));
    EXPECT_NE(samplesOf(dragged), samplesOf(countingWave(kLoop, 7)));

    // Only this user may read it; dropped back and dragged again it keeps its name, and a long
    // name is shortened to fit.
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(file.toStdString()).permissions(),
              perms::owner_read | perms::owner_write);
    EXPECT_EQ(std::filesystem::status(QFileInfo(file).path().toStdString()).permissions(),
              perms::owner_all);
    load(file);
    EXPECT_EQ(LoopDragHandle::dragFileName(form->currentFileName()), file);
    const QString longName = QString::fromStdString(dir.file(std::string(250, 'n') + ".wav"));
    ASSERT_TRUE(QFile::copy(file, longName));
    load(longName);
    const QString longDrag =
        QFileInfo(LoopDragHandle::dragFileName(form->currentFileName())).fileName();
    EXPECT_EQ(longDrag.size(), 255);
    EXPECT_TRUE(longDrag.endsWith(QStringLiteral("n (BREV).wav"))) << longDrag.toStdString();

    // Another user's folder in its place is refused.
    if (const passwd* other = ::getpwnam("nobody"); other != nullptr && ::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(QFileInfo(file).path()).constData(), other->pw_uid,
                          other->pw_gid),
                  0);
        EXPECT_THROW(LoopDragHandle::dragFileName(form->currentFileName()), Error);
    }
}

TEST(BackgroundLoad, ShowsProgressAfterAPauseKeepsTheWindowAliveAndCancels) {
    QWidget window;
    window.show();
    int ticks = 0;
    QTimer alive;
    QObject::connect(&alive, &QTimer::timeout, [&] { ++ticks; });
    alive.start(10);
    // The user cancels as soon as the dialog shows.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (auto* dialog = window.findChild<QProgressDialog*>()) {
            if (dialog->isVisible())
                dialog->findChild<QPushButton*>()->click();
        }
    });
    cancel.start(20);
    const auto started = std::chrono::steady_clock::now();
    const auto result = loadInBackground(&window, "slow", [](const DecodeProgress& progress) {
        for (double done = 0;; done = std::min(1.0, done + 0.01)) {
            if (!progress(done))
                throw DecodeCancelled();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return LoadedAudio{};
    });
    EXPECT_FALSE(result);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(450));
    EXPECT_GT(ticks, 10);
    // A load that ends after all once cancelled changes nothing either.
    const auto late = loadInBackground(&window, "late", [](const DecodeProgress& progress) {
        while (progress(0))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return LoadedAudio{countingWave(16), {}};
    });
    EXPECT_FALSE(late);

    // A load's error reaches the GUI thread as itself; a quick load shows no dialog.
    EXPECT_THROW(loadInBackground(&window, "bad",
                                  [](const DecodeProgress&) -> LoadedAudio {
                                      throw Error("MMIOLoad - Not a RIFF WAVE file");
                                  }),
                 Error);
    const auto quick = loadInBackground(&window, "quick", [](const DecodeProgress&) {
        return LoadedAudio{countingWave(16), "48000 Hz, 16-bit, mono"};
    });
    ASSERT_TRUE(quick);
    EXPECT_EQ(quick->wave.GetSamples(), 16);
}

} // namespace
