// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_number.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace brev {
namespace {

std::string captionOf(const TBrevNumber& number) {
    return number.text().toStdString();
}

// The number sits well inside its window so that a drag can leave it upwards.
struct Host {
    QWidget window;
    TBrevNumber* number = new TBrevNumber(&window);

    Host() {
        window.resize(100, 300);
        number->setGeometry(40, 150, 17, 16);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWindow* handle() { return window.windowHandle(); }
    QPoint at(int y) const { return number->mapTo(&window, QPoint(8, y)); }
    void press(int y, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mousePress(handle(), Qt::LeftButton, modifiers, at(y));
    }
    void move(int y) { QTest::mouseMove(handle(), at(y)); }
    void release(int y) { QTest::mouseRelease(handle(), Qt::LeftButton, {}, at(y)); }
};

TEST(NumberTest, FreshControl) {
    TBrevNumber number;
    EXPECT_EQ(captionOf(number), "0");
    EXPECT_EQ(number.size(), QSize(16, 16));
    EXPECT_EQ(number.Max(), 100);
    EXPECT_EQ(number.cursor().shape(), Qt::SplitVCursor);
}

TEST(NumberTest, ClampsAndFiresOnlyOnRealChanges) {
    TBrevNumber number;
    number.SetMax(99);
    number.SetMin(1);
    number.SetValue(5);
    std::vector<std::string> captionsSeen;
    QObject::connect(&number, &TBrevNumber::OnChanged, &number,
                     [&](TBrevNumber* sender, int) { captionsSeen.push_back(captionOf(*sender)); });
    QSignalSpy spy(&number, &TBrevNumber::OnChanged);

    number.SetValue(0);
    EXPECT_EQ(number.Value(), 1);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 1);
    // The caption is rewritten after the handler has run.
    EXPECT_EQ(captionsSeen, std::vector<std::string>{"5"});
    EXPECT_EQ(captionOf(number), "1");

    number.setText(QStringLiteral("stale"));
    number.SetValue(1);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(captionOf(number), "1");

    number.SetValue(-7);
    number.SetMin(-50);
    number.SetValue(-7);
    EXPECT_EQ(captionOf(number), "-7");
}

TEST(NumberTest, BoundsPullTheValue) {
    TBrevNumber number;
    number.SetMax(99);
    number.SetValue(50);
    QSignalSpy spy(&number, &TBrevNumber::OnChanged);
    number.SetMin(200);
    EXPECT_EQ(number.Min(), 99);
    EXPECT_EQ(number.Value(), 99);
    EXPECT_EQ(spy.count(), 1);

    number.SetMax(10);
    EXPECT_EQ(number.Max(), 99);

    number.SetDefault(500);
    EXPECT_EQ(number.Default(), 99);
    EXPECT_EQ(spy.count(), 1);

    // A value is clamped against the bound in force when it is set.
    TBrevNumber described;
    described.SetValue(150);
    described.SetMax(200);
    EXPECT_EQ(described.Value(), 100);
}

TEST(NumberTest, DragAnchorTruncatesTowardZero) {
    Host host;
    host.number->SetValue(40);
    host.press(5);
    host.move(-10);
    EXPECT_EQ(host.number->Value(), 41);
    host.move(-9);
    EXPECT_EQ(host.number->Value(), 40);
    host.move(9);
    EXPECT_EQ(host.number->Value(), 40);
    host.move(10);
    EXPECT_EQ(host.number->Value(), 39);
    host.move(35);
    EXPECT_EQ(host.number->Value(), 37);
    host.release(35);
    // Released: moves no longer drag.
    host.move(-60);
    EXPECT_EQ(host.number->Value(), 37);
}

TEST(NumberTest, AnchorIncludesThePressOffset) {
    Host host;
    host.number->SetValue(40);
    host.press(14);
    host.move(14);
    EXPECT_EQ(host.number->Value(), 40);
    host.move(0);
    EXPECT_EQ(host.number->Value(), 41);
    host.release(0);
}

TEST(NumberTest, CtrlDragIsFine) {
    Host host;
    host.number->SetValue(40);
    host.press(15, Qt::ControlModifier);
    host.move(-25);
    EXPECT_EQ(host.number->Value(), 41);
    host.move(-39);
    EXPECT_EQ(host.number->Value(), 41);
    host.move(-40);
    EXPECT_EQ(host.number->Value(), 42);
    host.move(40);
    EXPECT_EQ(host.number->Value(), 38);
    host.release(40);
}

TEST(NumberTest, ClampingLeavesTheAnchor) {
    Host host;
    host.number->SetMax(99);
    host.number->SetValue(95);
    QSignalSpy spy(host.number, &TBrevNumber::OnChanged);
    host.press(0);
    host.move(-100);
    EXPECT_EQ(host.number->Value(), 99);
    EXPECT_EQ(spy.count(), 1);
    for (int y = -90; y <= -40; y += 10) {
        host.move(y);
        EXPECT_EQ(host.number->Value(), 99) << "at " << y;
    }
    EXPECT_EQ(spy.count(), 1);
    host.move(-39);
    EXPECT_EQ(host.number->Value(), 98);
    EXPECT_EQ(spy.count(), 2);
    host.move(120);
    EXPECT_EQ(host.number->Value(), 83);
    host.release(120);

    host.number->SetMin(10);
    host.number->SetValue(12);
    host.press(0);
    host.move(900);
    EXPECT_EQ(host.number->Value(), 10);
    host.release(900);
}

TEST(NumberTest, RightClickPriorities) {
    Host host;
    host.number->SetMin(-20);
    host.number->SetMax(30);
    host.number->SetDefault(7);
    host.number->SetValue(3);
    const QPoint at = host.at(8);
    QTest::mouseClick(host.handle(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, at);
    EXPECT_EQ(host.number->Value(), 30);
    QTest::mouseClick(host.handle(), Qt::RightButton, Qt::ControlModifier, at);
    EXPECT_EQ(host.number->Value(), -20);
    QTest::mouseClick(host.handle(), Qt::RightButton, {}, at);
    EXPECT_EQ(host.number->Value(), 7);
    QTest::mouseClick(host.handle(), Qt::MiddleButton, Qt::ShiftModifier, at);
    EXPECT_EQ(host.number->Value(), 7);

    // A right press does not start a drag.
    QTest::mousePress(host.handle(), Qt::RightButton, Qt::ShiftModifier, at);
    QTest::mouseMove(host.handle(), host.at(-50));
    EXPECT_EQ(host.number->Value(), 30);
    QTest::mouseRelease(host.handle(), Qt::RightButton, {}, host.at(-50));
}

TEST(NumberTest, TheWheelStepsOnceANotchAddingUpATouchpadsHalves) {
    TBrevNumber number;
    QWheelEvent half(QPointF(8, 8), QPointF(8, 8), {}, QPoint(0, 60), Qt::NoButton, {},
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&number, &half);
    EXPECT_EQ(number.Value(), 0);
    QApplication::sendEvent(&number, &half);
    EXPECT_EQ(number.Value(), 1);
}

TEST(NumberTest, WidestValuesStayInsideTheBorder) {
    TBrevNumber number;
    number.SetMin(-99);
    number.resize(17, 16);
    for (int value : {-99, 100}) {
        number.SetMax(value > 0 ? value : 99);
        number.SetValue(value);
        const QImage image = number.grab().toImage();
        int inkLeft = image.width(), inkRight = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool border =
                    x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
                const int light = qGray(image.pixel(x, y));
                if (border)
                    EXPECT_LT(light, 64) << value << " at " << x << "," << y;
                else if (light > 128) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                }
            }
        }
        // The whole caption shows, the sign included: ink reaches both thirds of the box.
        EXPECT_LT(inkLeft, image.width() / 3) << value;
        EXPECT_GT(inkRight, image.width() * 2 / 3) << value;
    }
}

} // namespace
} // namespace brev
