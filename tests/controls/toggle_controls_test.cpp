// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_check_text.h"
#include "controls/brev_checkbox.h"
#include "controls/brev_led.h"
#include "controls/brev_pulse_button.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace brev {
namespace {

std::string colourAt(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y)).name().toStdString();
}
const std::string kBlack = "#000000";
const std::string kWhite = "#ffffff";

// Stands in for the editor window: moves of a sweep that began on its background reach it.
class SweepPad : public QWidget {
protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        TBrevCheckText::sweepAt(this, event->globalPosition().toPoint(), event->buttons());
    }
};

// A row of six flags 32 pixels apart with gaps between them, like a row of the slot grid.
struct FlagRow {
    SweepPad window;
    QList<TBrevCheckText*> flags;
    QList<QSignalSpy*> spies;

    FlagRow() {
        window.resize(260, 60);
        for (int i = 0; i < 6; ++i) {
            auto* flag = new TBrevCheckText(&window);
            flag->setObjectName(QStringLiteral("Mute%1CheckText").arg(i));
            flag->setGeometry(10 + 32 * i, 20, 25, 16);
            flags << flag;
        }
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    ~FlagRow() { qDeleteAll(spies); }
    FlagRow(const FlagRow&) = delete;
    FlagRow& operator=(const FlagRow&) = delete;
    void watch() {
        qDeleteAll(spies);
        spies.clear();
        for (auto* flag : flags)
            spies << new QSignalSpy(flag, &TBrevCheckText::OnChanged);
    }
    QWindow* handle() { return window.windowHandle(); }
    // Walks the pointer across the row in small steps, gaps included.
    void sweep(int fromX, int toX, int y = 28) {
        const int step = fromX < toX ? 3 : -3;
        for (int x = fromX; step > 0 ? x <= toX : x >= toX; x += step)
            QTest::mouseMove(handle(), QPoint(x, y));
    }
};

class PaintCountingLED : public TBrevLED {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        TBrevLED::paintEvent(event);
    }
};

TEST(ToggleControlsTest, CheckTextValueFromCode) {
    TBrevCheckText flag;
    EXPECT_EQ(flag.text().toStdString(), "X");
    EXPECT_FALSE(flag.Value());
    EXPECT_EQ(flag.cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy spy(&flag, &TBrevCheckText::OnChanged);
    flag.SetValue(false);
    EXPECT_EQ(spy.count(), 0);
    flag.SetValue(true);
    flag.SetValue(true);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).toBool(), true);
    flag.SetValue(false);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(1).toBool(), false);
}

TEST(ToggleControlsTest, CheckTextColours) {
    TBrevCheckText flag;
    flag.resize(25, 16);
    EXPECT_EQ(colourAt(flag.grab().toImage(), 3, 3), kBlack);
    flag.SetValue(true);
    EXPECT_EQ(colourAt(flag.grab().toImage(), 3, 3), kWhite);
}

TEST(ToggleControlsTest, LeftSweepTurnsEachFlagOnOnce) {
    FlagRow row;
    row.flags[3]->SetValue(true);
    row.watch();
    QTest::mousePress(row.handle(), Qt::LeftButton, {}, QPoint(14, 28));
    row.sweep(14, 200);
    QTest::mouseRelease(row.handle(), Qt::LeftButton, {}, QPoint(200, 28));
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(row.flags[i]->Value()) << row.flags[i]->objectName().toStdString();
        EXPECT_EQ(row.spies[i]->count(), i == 3 ? 0 : 1) << i;
    }

    // Moving with no button held changes nothing.
    row.flags[2]->SetValue(false);
    row.sweep(200, 14);
    EXPECT_FALSE(row.flags[2]->Value());
}

TEST(ToggleControlsTest, RightSweepTurnsFlagsOff) {
    FlagRow row;
    for (auto* flag : row.flags)
        flag->SetValue(true);
    row.watch();
    // Starts on the last flag and ends on the second: the first stays on.
    QTest::mousePress(row.handle(), Qt::RightButton, {}, QPoint(180, 28));
    row.sweep(180, 44);
    QTest::mouseRelease(row.handle(), Qt::RightButton, {}, QPoint(44, 28));
    EXPECT_TRUE(row.flags[0]->Value());
    EXPECT_EQ(row.spies[0]->count(), 0);
    for (int i = 1; i < 6; ++i) {
        EXPECT_FALSE(row.flags[i]->Value()) << i;
        EXPECT_EQ(row.spies[i]->count(), 1) << i;
    }
}

TEST(ToggleControlsTest, SweepMayStartOnTheBackground) {
    FlagRow row;
    row.watch();
    QTest::mousePress(row.handle(), Qt::LeftButton, {}, QPoint(2, 50));
    QTest::mouseMove(row.handle(), QPoint(6, 28));
    row.sweep(6, 120);
    QTest::mouseRelease(row.handle(), Qt::LeftButton, {}, QPoint(120, 28));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(row.flags[i]->Value(), i < 4) << i;
    // A middle-button press does nothing, nor does its sweep.
    QTest::mousePress(row.handle(), Qt::MiddleButton, {}, QPoint(190, 28));
    row.sweep(190, 14);
    QTest::mouseRelease(row.handle(), Qt::MiddleButton, {}, QPoint(14, 28));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(row.flags[i]->Value(), i < 4) << i;
}

TEST(ToggleControlsTest, PulseFiresOncePerPressThenFlashes) {
    QWidget window;
    window.resize(100, 50);
    auto* button = new TBrevPulseButton(&window);
    button->move(10, 10);
    EXPECT_EQ(button->size(), QSize(32, 16));
    EXPECT_EQ(button->text().toStdString(), "P");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow* handle = window.windowHandle();
    const QPoint at(20, 18);

    int pulses = 0;
    bool flashingInAction = true;
    bool flashingWhenPendingRan = false;
    QObject::connect(button, &TBrevPulseButton::OnPulsed, button, [&](TBrevPulseButton* sender) {
        ++pulses;
        EXPECT_EQ(sender, button);
        flashingInAction = button->isFlashing();
        // Pending events run after the flash is drawn, before the wait.
        QTimer::singleShot(0, button, [&] { flashingWhenPendingRan = button->isFlashing(); });
    });

    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(handle, Qt::LeftButton, {}, at);
    EXPECT_GE(clock.elapsed(), 195);
    EXPECT_EQ(pulses, 1);
    EXPECT_FALSE(flashingInAction);
    EXPECT_TRUE(flashingWhenPendingRan);
    EXPECT_FALSE(button->isFlashing());
    // Holding the button and moving over it repeats nothing.
    QTest::mouseMove(handle, at + QPoint(3, 1));
    QTest::qWait(100);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, at);
    EXPECT_EQ(pulses, 1);

    QTest::mouseClick(handle, Qt::RightButton, {}, at);
    QTest::mouseClick(handle, Qt::MiddleButton, {}, at);
    EXPECT_EQ(pulses, 1);

    // Two quick presses: two actions, each with its own flash.
    clock.restart();
    QTest::mouseClick(handle, Qt::LeftButton, {}, at);
    QTest::mouseClick(handle, Qt::LeftButton, {}, at);
    EXPECT_EQ(pulses, 3);
    EXPECT_GE(clock.elapsed(), 395);
}

TEST(ToggleControlsTest, LedPaintsOnlyOnChange) {
    PaintCountingLED led;
    EXPECT_FALSE(led.State());
    EXPECT_EQ(led.size(), QSize(16, 8));
    led.resize(25, 8);
    const QImage dark = led.grab().toImage();
    EXPECT_EQ(colourAt(dark, 0, 0), kBlack);
    EXPECT_EQ(colourAt(dark, 5, 3), kBlack);

    led.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&led));
    QCoreApplication::processEvents();
    led.paints = 0;
    for (int i = 0; i < 16; ++i) {
        led.SetState(true);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(led.paints, 1);

    const QImage lit = led.grab().toImage();
    EXPECT_EQ(colourAt(lit, 0, 0), kBlack);
    EXPECT_EQ(colourAt(lit, 23, 6), kBlack);
    EXPECT_EQ(colourAt(lit, 5, 3), kWhite);
    EXPECT_EQ(colourAt(lit, 22, 5), kWhite);
    // The last column is not part of the lamp.
    EXPECT_NE(colourAt(lit, 24, 3), kWhite);
}

TEST(ToggleControlsTest, CheckboxFollowsTheButton) {
    QWidget window;
    window.resize(40, 40);
    auto* box = new TBrevCheckbox(&window);
    box->move(10, 10);
    EXPECT_EQ(box->size(), QSize(9, 9));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(box, &TBrevCheckbox::OnClick);
    QWindow* handle = window.windowHandle();

    QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(14, 14));
    EXPECT_TRUE(box->State());
    EXPECT_EQ(clicks.count(), 1);
    const QImage on = box->grab().toImage();
    EXPECT_EQ(colourAt(on, 0, 0), kWhite);
    EXPECT_EQ(colourAt(on, 4, 4), kWhite);

    QTest::mouseClick(handle, Qt::RightButton, {}, QPoint(14, 14));
    EXPECT_FALSE(box->State());
    EXPECT_EQ(clicks.count(), 1);
    const QImage off = box->grab().toImage();
    EXPECT_EQ(colourAt(off, 0, 0), kWhite);
    EXPECT_EQ(colourAt(off, 8, 8), kWhite);
    EXPECT_EQ(colourAt(off, 4, 4), kBlack);
}

} // namespace
} // namespace brev
