// The editor's commands and lifecycle, headless: offscreen windows, the null output with its
// capture, answered dialogs and a memory clipboard.
#include "audio/clipboard_port.h"
#include "audio/error.h"
#include "controls/brev_led.h"
#include "editor/core/pattern_model.h"
#include "editor/core/pattern_tools.h"
#include "editor/ui/interface_form.h"
#include "engine_fixture.h"
#include "fake_dialogs.h"
#include "output/notify_thread.h"
#include "output/null_output.h"
#include "output/tds.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

using namespace brev;
using brev::testing::countingWave;
using brev::testing::FakeDialogs;
using brev::testing::samplesOf;
using brev::testing::TempDir;

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
            OutputOptions output;
            output.nullOutput = true;
            output.capturePath = capture;
            return std::make_unique<TDS>(index, output);
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
        form->component<QToolButton>(QString::fromLatin1(name))->click();
    }
    PatternAccess& pattern() { return form->pattern(); }

    QString loopFile(const char* name = "loop.wav", int frames = kLoop) {
        std::string path = brev::testing::writeWav(dir, name, countingWave(frames, 7));
        return QString::fromStdString(path);
    }
    void load(const QString& path) {
        dialogs.files.push_back(path);
        click("LoadFromFileButton");
    }
    int litLed() const {
        for (int i = 0; i < 16; ++i) {
            if (form->component<TBrevLED>(QStringLiteral("LED%1").arg(i))->State())
                return i;
        }
        return -1;
    }
    // The left channel of everything the null output played; closes the editor to complete it.
    std::vector<std::int16_t> capturedLeft() {
        form.reset();
        BrevWave::TWave wave;
        wave.LoadFromFile(capture);
        std::vector<std::int16_t> samples = samplesOf(wave), left;
        for (size_t i = 0; i < samples.size(); i += 2)
            left.push_back(samples[i]);
        return left;
    }

    TempDir dir;
    FakeDialogs dialogs;
    MemoryClipboard clipboard;
    std::string capture;
    std::set<int> failingDevices;
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
        EXPECT_TRUE(pattern().toggleDown(toggle)) << toggle;
    EXPECT_TRUE(form->hintsShown());
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(form->driverIndex(), 0);
    EXPECT_EQ(form->driversComboBox()->currentIndex(), 0);
    EXPECT_TRUE(form->driversComboBox()->currentText().endsWith(QStringLiteral("(silent)")));
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
    EXPECT_FALSE(pattern().toggleDown("LoopButton"));
    EXPECT_FALSE(pattern().toggleDown("HintsButton"));
    EXPECT_FALSE(form->hintsShown());
    EXPECT_TRUE(pattern().toggleDown("SmartFadesButton"));
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
}

TEST_F(EditorTest, BadStoredValuesFallBackQuietly) {
    {
        QSettings stored(settingsFile(), QSettings::IniFormat);
        stored.setValue("Driver index", 7); // beyond the list of one output
        stored.setValue("Fade samples", "many");
        stored.setValue("Swing percentage", 400); // clamped by its control
    }
    start();
    EXPECT_EQ(form->driverIndex(), 0);
    EXPECT_EQ(form->driversComboBox()->currentIndex(), 0);
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
    EXPECT_EQ(form->driverIndex(), 0);
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
    EXPECT_EQ(dialogs.requests[0].filter, QStringLiteral("WAV|*.wav"));
    EXPECT_EQ(status(0), path);
    EXPECT_EQ(status(1), QStringLiteral("Playback: 44100 Hz"));
    EXPECT_EQ(status(2), QStringLiteral("%1 samples").arg(kLoop));
    EXPECT_EQ(form->component<QToolButton>(u"RevertButton")->toolTip(), "Revert " + path);
    EXPECT_NE(form->notifyThread(), nullptr);

    // The next dialog opens in the folder of the last file.
    dialogs.files.push_back(QString());
    click("LoadFromFileButton");
    EXPECT_EQ(dialogs.requests.last().directory, QString::fromStdString(dir.path().string()) + "/");
}

TEST_F(EditorTest, CancelledOrFailedLoadStillStopsAndRefreshes) {
    start();
    load(loopFile());
    click("PlayButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() >= 0; }, 3000));
    form->statusPanel(2)->setText("stale");

    click("LoadFromFileButton"); // cancelled
    EXPECT_FALSE(form->engine().IsPlaying());
    EXPECT_EQ(litLed(), -1);
    EXPECT_EQ(status(2), QStringLiteral("%1 samples").arg(kLoop));

    const QString broken = QString::fromStdString(dir.file("broken.wav"));
    QFile(broken).open(QIODevice::WriteOnly);
    load(broken);
    EXPECT_EQ(dialogs.warnings, QStringList{"Sorry, but I was unable to load " + broken});
    EXPECT_EQ(form->currentFileName(), broken);
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
    pattern().SetNumberValue("SwingNumber", 50);
    click("RevertButton");
    EXPECT_EQ(dialogs.messages.size(), 1);
    // The swing of the moment applies: even segments grow.
    EXPECT_GT(form->engine().NaturalLength(0), form->engine().NaturalLength(1));

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
    EXPECT_EQ(form->component<QToolButton>(u"RevertButton")->toolTip(), "Revert " + path);
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
    load(loopFile());
    pattern().setToggleDown("SmartFadesButton", false);
    pattern().SetCheckValue("Reverse2CheckText", true);

    const QString saved = QString::fromStdString(dir.file("out/pattern.wav"));
    QDir().mkpath(QFileInfo(saved).absolutePath());
    dialogs.files.push_back(saved);
    click("SaveToFileButton");
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
    attachChangeHandlers(model);
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
    ASSERT_NEAR(double(left.size()), kLoop / 2, 1);
    for (int i : {0, 1, 1000, kLoop / 2 - 1})
        EXPECT_EQ(left[size_t(i)], sourceLeft(2 * i)) << i;
}

TEST_F(EditorTest, SpaceTogglesPlaybackAndF1AsksForHelp) {
    start();
    load(loopFile());
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_TRUE(form->engine().IsPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return litLed() >= 0; }, 3000));
    QTest::keyClick(form.get(), Qt::Key_Space);
    EXPECT_FALSE(form->engine().IsPlaying());
    EXPECT_EQ(litLed(), -1);

    QSignalSpy help(form->component<QToolButton>(u"HelpButton"), &QToolButton::clicked);
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(help.count(), 1);
    // Keys reach the window before the focused control, once.
    form->show();
    form->driversComboBox()->setFocus();
    QTest::keyClick(form->driversComboBox(), Qt::Key_F1);
    EXPECT_EQ(help.count(), 2);
}

TEST_F(EditorTest, ADeviceChangeLeavesNoAudioAndAFailedOneChangesNothing) {
    start();
    const QString path = loopFile();
    QComboBox* list = form->driversComboBox();
    list->addItem("Second output");
    list->addItem("Broken output");
    failingDevices = {2};
    load(path);
    click("PlayButton");

    list->setCurrentIndex(2);
    emit list->activated(2);
    ASSERT_EQ(dialogs.errors, QStringList{"DirectSoundCreate8() failed"});
    EXPECT_EQ(form->driverIndex(), 0);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_TRUE(form->engine().IsLoaded());
    EXPECT_FALSE(form->engine().IsPlaying());
    ASSERT_NE(form->notifyThread(), nullptr);

    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(form->driverIndex(), 1);
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

    QWidget* control = form->findComponent(u"Segment3Number");
    QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), control->mapToGlobal(QPoint(1, 1)));
    click("HintsButton");
    EXPECT_FALSE(form->hintsShown());
    EXPECT_TRUE(form->eventFilter(control, &tip));
    click("HintsButton");
    EXPECT_FALSE(form->eventFilter(control, &tip));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
