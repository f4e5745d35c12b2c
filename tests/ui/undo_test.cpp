// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern's history driven through the window with the mouse and the keyboard, on the null
// output: steps as the user made them, exact restores, and only the altered slots re-rendered.
#include "audio/clipboard_port.h"
#include "editor/core/pattern_values.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/pattern_history.h"
#include "output/tds.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_waves.h"
#include "tests/ui/fake_dialogs.h"
#include "tests/ui/playback_support.h"
#include "tests/ui/window_probe.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <set>

using namespace brev;
using namespace brev::test;

namespace {

constexpr int kRegion = 2205;       // frames per slot of the test loop
constexpr int kLoop = 16 * kRegion; // 0.8 s

// Counts which slots are rendered.
class CountingForm : public TInterfaceForm {
public:
    void RenderSegment(int slot) override {
        rendered.insert(slot);
        TInterfaceForm::RenderSegment(slot);
    }
    std::multiset<int> rendered;
};

QString slotName(std::string_view pattern, int slot) {
    return QString::fromStdString(slotControlName(pattern, slot));
}

class UndoTest : public ::testing::Test {
protected:
    EditorOptions options() {
        EditorOptions options;
        options.makeEngine = [this](int index) { return silentEngine(index, capture); };
        options.dialogs = &dialogs;
        options.clipboard = &clipboard;
        options.settingsFile = QString::fromStdString(dir.file("settings.ini"));
        return options;
    }

    void SetUp() override {
        form.start(options());
        form.show();
        form.activateWindow();
        // The shortcuts answer in the active window.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        load(loopFile("loop.wav"));
    }

    QString loopFile(const char* name) {
        return QString::fromStdString(brev::test::writeWav(dir, name, countingWave(kLoop, 7)));
    }
    void load(const QString& path) {
        dialogs.files.push_back(path);
        QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    }
    QWindow* window() { return form.windowHandle(); }
    QPoint centreOf(const QString& name) {
        QWidget* widget = probe(form).findComponent(name);
        return widget->mapTo(&form, widget->rect().center());
    }
    // Press, move in steps narrower than a flag (so none is passed over unseen), release.
    void stroke(QPoint start, QPoint end, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        const int steps = std::max(1, (end - start).manhattanLength() / 4);
        QTest::mousePress(window(), button, keys, start);
        for (int step = 1; step <= steps; ++step)
            QTest::mouseMove(window(), start + (end - start) * step / steps);
        QTest::mouseRelease(window(), button, keys, end);
    }
    void drag(const QString& name, int dy, Qt::KeyboardModifiers keys = {}) {
        stroke(centreOf(name), centreOf(name) + QPoint(0, dy), Qt::LeftButton, keys);
    }
    void sweep(const QString& from, const QString& to, Qt::MouseButton button) {
        stroke(centreOf(from), centreOf(to), button, {});
    }
    void clickOn(const QString& name, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(window(), button, {}, centreOf(name));
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(window(), key, modifiers);
    }
    // One gesture of a user: a drag on a number, a click or a sweep over flags, an arrow, a gang
    // or clone button, a randomiser.
    void randomGesture(std::mt19937& draw) {
        auto pick = [&](int n) { return static_cast<int>(draw() % static_cast<unsigned>(n)); };
        static const std::string_view kFlags[] = {kStaccatoCheckText, kReverseCheckText,
                                                  kMuteCheckText,     kFlipCheckText,
                                                  kLockCheckText,     kFadeInCheckText};
        static const std::string_view kNumbers[] = {kSegmentNumber, kRepeatsNumber, kVolumeNumber,
                                                    kDividerNumber};
        switch (pick(7)) {
        case 0:
            drag(slotName(kNumbers[pick(4)], pick(16)), 10 * (pick(9) - 4) - 5);
            break;
        case 1: {
            const char* globals[] = {"FadeSamplesNumber",  "SwingNumber",      "CuttingAngleNumber",
                                     "DeckstopRampNumber", "GangVolumeNumber", "GangSegmentNumber"};
            drag(QString::fromLatin1(globals[pick(6)]), 20 * (pick(5) - 2) - 5,
                 pick(2) ? Qt::ControlModifier : Qt::NoModifier);
            break;
        }
        case 2:
            clickOn(slotName(kFlags[pick(6)], pick(16)),
                    pick(3) ? Qt::LeftButton : Qt::RightButton);
            break;
        case 3: {
            const std::string_view row = kFlags[pick(6)];
            sweep(slotName(row, pick(16)), slotName(row, pick(16)),
                  pick(3) ? Qt::LeftButton : Qt::RightButton);
            break;
        }
        case 4:
            clickOn(QStringLiteral("%1Arrow%2").arg(pick(2) ? "Up" : "Down").arg(pick(73)));
            break;
        case 5: {
            const char* buttons[] = {"GangReverseRandomButton", "GangMuteInverseButton",
                                     "GangRandomSegmentButton", "CloneNext5Button"};
            clickOn(QString::fromLatin1(buttons[pick(4)]));
            break;
        }
        default:
            clickOn(pick(2) ? QStringLiteral("RandomPingPongButton")
                            : QStringLiteral("CenterAllButton"));
            break;
        }
    }

    // Every number shows the model's value and every toggle stands as the model has it.
    bool viewsShowTheModel() {
        const auto controls = patternControls();
        for (std::size_t id = 0; id < controls.size(); ++id) {
            const int value = form.pattern().value(int(id));
            QWidget* view = probe(form).findComponent(QString::fromStdString(controls[id].name));
            auto* toggle = qobject_cast<QToolButton*>(view);
            if (toggle ? toggle->isChecked() != (value != 0)
                       : controls[id].kind == ControlKind::Number &&
                             qobject_cast<QLabel*>(view)->text() != QString::number(value))
                return false;
        }
        return true;
    }

    int steps() { return probe(form).history().stack().count(); }
    PatternValues values() { return readPatternValues(form.pattern()); }
    std::vector<std::int16_t> renderedLoop() {
        form.renderAll();
        return samplesOf(form.engine().Store().joinSlots());
    }

    TempFolder dir;
    FakeDialogs dialogs;
    MemoryClipboard clipboard;
    std::string capture;
    std::unique_ptr<CountingForm> editor = std::make_unique<CountingForm>();
    CountingForm& form = *editor;
};

} // namespace

TEST_F(UndoTest, TheStoredSettingsAreNotAStep) {
    drag("FadeSamplesNumber", -27);
    editor.reset();
    editor = std::make_unique<CountingForm>();
    editor->start(options());
    EXPECT_EQ(editor->pattern().NumberValue("FadeSamplesNumber"), 102);
    EXPECT_EQ(probe(*editor).history().stack().count(), 0);
}

TEST_F(UndoTest, ADragAndASweepAreOneStepEach) {
    drag("Volume4Number", -67); // six units up, one at a time
    EXPECT_EQ(form.pattern().NumberValue("Volume4Number"), 6);
    EXPECT_EQ(steps(), 1);

    sweep("Mute2CheckText", "Mute9CheckText", Qt::LeftButton);
    for (int slot = 2; slot <= 9; ++slot)
        EXPECT_TRUE(form.pattern().slotCheck(kMuteCheckText, slot)) << slot;
    EXPECT_EQ(steps(), 2);

    // The sweep's smart fades go back with it.
    key(Qt::Key_Z);
    for (int slot = 2; slot <= 9; ++slot)
        EXPECT_FALSE(form.pattern().slotCheck(kMuteCheckText, slot)) << slot;
    key(Qt::Key_Z);
    EXPECT_EQ(form.pattern().NumberValue("Volume4Number"), 0);
    EXPECT_EQ(probe(form).history().stack().index(), 0);
}

TEST_F(UndoTest, APatternLoadAndTheInfoPictureAreOneStepEach) {
    const QString saved = QString::fromStdString(dir.file("plain.brev"));
    dialogs.files.push_back(saved);
    clickOn("SavePatternButton");
    const PatternValues plain = values();
    drag("Segment3Number", -27);
    sweep("Reverse0CheckText", "Reverse15CheckText", Qt::LeftButton);
    const PatternValues edited = values();

    dialogs.files.push_back(saved);
    clickOn("LoadPatternButton");
    EXPECT_EQ(values(), plain);
    QTest::mouseClick(window(), Qt::LeftButton, Qt::ShiftModifier, centreOf("InfoButton"));
    EXPECT_NE(values(), plain);
    EXPECT_EQ(steps(), 4);
    key(Qt::Key_Z);
    EXPECT_EQ(values(), plain);
    key(Qt::Key_Z);
    EXPECT_EQ(values(), edited);
}

TEST_F(UndoTest, UndoRendersOnlyTheSlotsThatSoundDifferently) {
    clickOn("SmartFadesButton"); // up: a flag changes nothing else
    clickOn("Reverse6CheckText");
    clickOn("Lock9CheckText");
    form.rendered.clear();
    key(Qt::Key_Z); // the lock sounds nothing
    EXPECT_EQ(form.rendered, std::multiset<int>{});
    key(Qt::Key_Z);
    EXPECT_EQ(form.rendered, std::multiset<int>{6});
    form.rendered.clear();
    key(Qt::Key_Y);
    EXPECT_EQ(form.rendered, std::multiset<int>{6});

    // Smart fades down again: the click and the flags it sets are one step.
    const PatternValues flagsKept = values();
    clickOn("SmartFadesButton");
    form.rendered.clear();
    key(Qt::Key_Z);
    EXPECT_FALSE(form.pattern().toggleDown(kSmartFadesButton));
    EXPECT_EQ(values(), flagsKept);
    EXPECT_EQ(form.rendered, (std::multiset<int>{5, 6, 7}));
    // A number that every render reads.
    drag("FadeSamplesNumber", -20);
    form.rendered.clear();
    key(Qt::Key_Z);
    EXPECT_EQ(form.rendered.size(), 16u);
    EXPECT_EQ(form.pattern().NumberValue("FadeSamplesNumber"), 100);
}

TEST_F(UndoTest, RandomEditsUndoneAndRedoneExactly) {
    const PatternValues original = values();
    const std::vector<std::int16_t> originalLoop = renderedLoop();
    std::mt19937 draw(20261207);
    for (int gesture = 0; gesture < 40; ++gesture) {
        const int before = steps();
        const PatternValues was = values();
        randomGesture(draw);
        EXPECT_EQ(steps(), before + (values() != was ? 1 : 0)) << "gesture " << gesture;
        ASSERT_TRUE(viewsShowTheModel()) << "gesture " << gesture;
        // The history outlives the loop it was made on.
        if (gesture == 20)
            load(loopFile("again.wav"));
    }
    ASSERT_GT(steps(), 20);
    const PatternValues edited = values();
    const std::vector<std::int16_t> editedLoop = renderedLoop();

    for (int i = steps(); i > 0; --i)
        key(Qt::Key_Z);
    EXPECT_EQ(values(), original);
    EXPECT_TRUE(viewsShowTheModel());
    EXPECT_EQ(samplesOf(form.engine().Store().joinSlots()), originalLoop);
    EXPECT_EQ(renderedLoop(), originalLoop);

    for (int i = steps(); i > 0; --i)
        key(i % 2 ? Qt::Key_Y : Qt::Key_Z,
            i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(values(), edited);
    EXPECT_TRUE(viewsShowTheModel());
    EXPECT_EQ(samplesOf(form.engine().Store().joinSlots()), editedLoop);
}

// Twelve edits made with the mouse leave the pattern and the rendered loop that the golden file
// keeps; BREV_WRITE_GOLDEN=1 writes the file from this build instead.
TEST_F(UndoTest, TwelveMouseEditsGiveTheGoldenPatternAndLoop) {
    drag(slotName(kSegmentNumber, 3), -25);
    drag(slotName(kVolumeNumber, 5), 35);
    drag(slotName(kRepeatsNumber, 7), -15);
    drag(slotName(kDividerNumber, 9), -45, Qt::ControlModifier);
    clickOn(slotName(kReverseCheckText, 2));
    clickOn(slotName(kMuteCheckText, 4), Qt::RightButton);
    sweep(slotName(kFlipCheckText, 1), slotName(kFlipCheckText, 11), Qt::LeftButton);
    sweep(slotName(kFlipCheckText, 8), slotName(kFlipCheckText, 4), Qt::RightButton);
    clickOn(QStringLiteral("UpArrow70"));
    drag(QStringLiteral("GangVolumeNumber"), -25);
    clickOn(QStringLiteral("GangMuteInverseButton"));
    clickOn(QStringLiteral("CloneNext5Button"));

    QString seen;
    for (int value : values())
        seen += QString::number(value) + u' ';
    std::uint64_t hash = 14695981039346656037u; // FNV-1a over the loop's samples
    for (std::int16_t sample : renderedLoop())
        hash = (hash ^ static_cast<std::uint16_t>(sample)) * 1099511628211u;
    seen += QStringLiteral("\n%1\n").arg(hash, 16, 16, QChar(u'0'));
    QFile golden(QStringLiteral(BREV_UI_GOLDEN_DIR "/twelve_mouse_edits.txt"));
    if (qEnvironmentVariableIsSet("BREV_WRITE_GOLDEN")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly));
        golden.write(seen.toUtf8());
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    ASSERT_EQ(seen, QString::fromUtf8(golden.readAll()));
}

TEST_F(UndoTest, DesktopShortcutsClickTheirButtons) {
    key(Qt::Key_C);
    ASSERT_TRUE(clipboard.hasWave());
    key(Qt::Key_V);
    EXPECT_EQ(form.currentFileName(), QString());
    EXPECT_EQ(form.engine().Store().SourceSamples(), kLoop);

    const QString saved = QString::fromStdString(dir.file("saved.wav"));
    dialogs.files.push_back(saved);
    key(Qt::Key_S);
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
}

// The keys go where the desktop sends them, to the focus, whatever was clicked last.
TEST_F(UndoTest, KeysReachTheWindowWhateverWasClickedLast) {
    EXPECT_EQ(QApplication::focusWidget(), &form);
    const std::vector<std::int16_t> heard = renderedLoop();
    clickOn("Mute3CheckText");
    key(Qt::Key_Z);
    EXPECT_EQ(samplesOf(form.engine().Store().joinSlots()), heard);
    auto* pitch = form.findChild<QWidget*>(QStringLiteral("PitchSpinBox"));
    QTest::mouseClick(window(), Qt::LeftButton, {}, pitch->mapTo(&form, QPoint(10, 5)));
    key(Qt::Key_Y); // clicked, not typed into: the window's
    EXPECT_TRUE(form.pattern().slotCheck(kMuteCheckText, 3));
    key(Qt::Key_Return, {});
    EXPECT_EQ(QApplication::focusWidget(), &form);
}

namespace {

class UndoHeardTest : public UndoTest {
protected:
    UndoHeardTest() { capture = dir.file("capture.wav"); }

    bool waitForLed(int index) {
        return QTest::qWaitFor([&] { return litLed(form) == index; }, 3000);
    }
    // The left channel of everything the null output played; closes the editor to complete it.
    std::vector<std::int16_t> capturedLeft() {
        editor.reset();
        return leftChannelOf(capture);
    }
};

} // namespace

TEST_F(UndoHeardTest, AMouseEditDuringPlaybackIsHeardAndItsUndoFromTheNextPass) {
    clickOn("SmartFadesButton"); // up: the mute alone changes
    clickOn("PlayButton");
    int k = -1;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            k = litLed(form);
            return k >= 2 && k <= 8;
        },
        3000));
    // Slot k plays and k + 1 is already in place: k + 3 is still to be rendered this pass.
    const int edited = k + 3;
    clickOn(slotName(kMuteCheckText, edited));
    ASSERT_TRUE(waitForLed(edited + 2));
    key(Qt::Key_Z);
    EXPECT_FALSE(form.pattern().slotCheck(kMuteCheckText, edited));
    // A lamp lights a period before its region sounds: two on, the edited region has played.
    ASSERT_TRUE(waitForLed(0));
    ASSERT_TRUE(waitForLed(edited + 2));
    clickOn("StopButton");

    const std::vector<std::int16_t> left = capturedLeft();
    ASSERT_GE(left.size(), std::size_t(kLoop + (edited + 1) * kRegion));
    auto region = [&](int pass) {
        const auto first = left.begin() + pass * kLoop + edited * kRegion;
        return std::vector<std::int16_t>(first, first + kRegion);
    };
    EXPECT_EQ(region(0), std::vector<std::int16_t>(kRegion, 0));
    std::vector<std::int16_t> source(kRegion);
    std::iota(source.begin(), source.end(), std::int16_t(edited * kRegion + 1));
    EXPECT_EQ(region(1), source);
}
