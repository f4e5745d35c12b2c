// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_number.h"

#include <QSignalSpy>
#include <QTest>

using brev::TBrevNumber;

namespace {

// The number sits well inside its window so that a drag can leave it upwards.
struct Host {
    QWidget window;
    TBrevNumber* number = new TBrevNumber(&window);

    Host() {
        window.resize(100, 300);
        number->setGeometry(40, 150, 17, 16);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QWindow* handle() { return window.windowHandle(); }
    QPoint at(int y) const { return number->mapTo(&window, QPoint(8, y)); }
    void press(int y, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mousePress(handle(), Qt::LeftButton, modifiers, at(y));
    }
    void move(int y) { QTest::mouseMove(handle(), at(y)); }
    void release(int y) { QTest::mouseRelease(handle(), Qt::LeftButton, {}, at(y)); }
};

} // namespace

class NumberTest : public QObject {
    Q_OBJECT

private slots:
    void freshControl() {
        TBrevNumber number;
        QCOMPARE(number.text(), QStringLiteral("0"));
        QCOMPARE(number.size(), QSize(16, 16));
        QCOMPARE(number.Max(), 100);
        QCOMPARE(number.cursor().shape(), Qt::SplitVCursor);
    }

    void clampsAndFiresOnlyOnRealChanges() {
        TBrevNumber number;
        number.SetMax(99);
        number.SetMin(1);
        number.SetValue(5);
        QStringList captionsSeen;
        connect(&number, &TBrevNumber::OnChanged, this,
                [&](TBrevNumber* sender, int) { captionsSeen << sender->text(); });
        QSignalSpy spy(&number, &TBrevNumber::OnChanged);

        number.SetValue(0);
        QCOMPARE(number.Value(), 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toInt(), 1);
        // The caption is rewritten after the handler has run.
        QCOMPARE(captionsSeen, QStringList{QStringLiteral("5")});
        QCOMPARE(number.text(), QStringLiteral("1"));

        number.setText(QStringLiteral("stale"));
        number.SetValue(1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(number.text(), QStringLiteral("1"));

        number.SetValue(-7);
        number.SetMin(-50);
        number.SetValue(-7);
        QCOMPARE(number.text(), QStringLiteral("-7"));
    }

    void boundsPullTheValue() {
        TBrevNumber number;
        number.SetMax(99);
        number.SetValue(50);
        QSignalSpy spy(&number, &TBrevNumber::OnChanged);
        number.SetMin(200);
        QCOMPARE(number.Min(), 99);
        QCOMPARE(number.Value(), 99);
        QCOMPARE(spy.count(), 1);

        number.SetMax(10);
        QCOMPARE(number.Max(), 99);

        number.SetDefault(500);
        QCOMPARE(number.Default(), 99);
        QCOMPARE(spy.count(), 1);

        // A value is clamped against the bound in force when it is set.
        TBrevNumber described;
        described.SetValue(150);
        described.SetMax(200);
        QCOMPARE(described.Value(), 100);
    }

    void dragAnchorTruncatesTowardZero() {
        Host host;
        host.number->SetValue(40);
        host.press(5);
        host.move(-10);
        QCOMPARE(host.number->Value(), 41);
        host.move(-9);
        QCOMPARE(host.number->Value(), 40);
        host.move(9);
        QCOMPARE(host.number->Value(), 40);
        host.move(10);
        QCOMPARE(host.number->Value(), 39);
        host.move(35);
        QCOMPARE(host.number->Value(), 37);
        host.release(35);
        // Released: moves no longer drag.
        host.move(-60);
        QCOMPARE(host.number->Value(), 37);
    }

    void anchorIncludesThePressOffset() {
        Host host;
        host.number->SetValue(40);
        host.press(14);
        host.move(14);
        QCOMPARE(host.number->Value(), 40);
        host.move(0);
        QCOMPARE(host.number->Value(), 41);
        host.release(0);
    }

    void ctrlDragIsFine() {
        Host host;
        host.number->SetValue(40);
        host.press(15, Qt::ControlModifier);
        host.move(-25);
        QCOMPARE(host.number->Value(), 41);
        host.move(-39);
        QCOMPARE(host.number->Value(), 41);
        host.move(-40);
        QCOMPARE(host.number->Value(), 42);
        host.move(40);
        QCOMPARE(host.number->Value(), 38);
        host.release(40);
    }

    void clampingLeavesTheAnchor() {
        Host host;
        host.number->SetMax(99);
        host.number->SetValue(95);
        QSignalSpy spy(host.number, &TBrevNumber::OnChanged);
        host.press(0);
        host.move(-100);
        QCOMPARE(host.number->Value(), 99);
        QCOMPARE(spy.count(), 1);
        for (int y = -90; y <= -40; y += 10) {
            host.move(y);
            QCOMPARE(host.number->Value(), 99);
        }
        QCOMPARE(spy.count(), 1);
        host.move(-39);
        QCOMPARE(host.number->Value(), 98);
        QCOMPARE(spy.count(), 2);
        host.move(120);
        QCOMPARE(host.number->Value(), 83);
        host.release(120);

        host.number->SetMin(10);
        host.number->SetValue(12);
        host.press(0);
        host.move(900);
        QCOMPARE(host.number->Value(), 10);
        host.release(900);
    }

    void rightClickPriorities() {
        Host host;
        host.number->SetMin(-20);
        host.number->SetMax(30);
        host.number->SetDefault(7);
        host.number->SetValue(3);
        const QPoint at = host.at(8);
        QTest::mouseClick(host.handle(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier,
                          at);
        QCOMPARE(host.number->Value(), 30);
        QTest::mouseClick(host.handle(), Qt::RightButton, Qt::ControlModifier, at);
        QCOMPARE(host.number->Value(), -20);
        QTest::mouseClick(host.handle(), Qt::RightButton, {}, at);
        QCOMPARE(host.number->Value(), 7);
        QTest::mouseClick(host.handle(), Qt::MiddleButton, Qt::ShiftModifier, at);
        QCOMPARE(host.number->Value(), 7);

        // A right press does not start a drag.
        QTest::mousePress(host.handle(), Qt::RightButton, Qt::ShiftModifier, at);
        QTest::mouseMove(host.handle(), host.at(-50));
        QCOMPARE(host.number->Value(), 30);
        QTest::mouseRelease(host.handle(), Qt::RightButton, {}, host.at(-50));
    }

    void widestValuesStayInsideTheBorder() {
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
                        QVERIFY2(
                            light < 64,
                            qPrintable(QStringLiteral("%1 at %2,%3").arg(value).arg(x).arg(y)));
                    else if (light > 128) {
                        inkLeft = std::min(inkLeft, x);
                        inkRight = std::max(inkRight, x);
                    }
                }
            }
            // The whole caption shows, the sign included: ink reaches both thirds of the box.
            QVERIFY(inkLeft < image.width() / 3);
            QVERIFY(inkRight > image.width() * 2 / 3);
        }
    }
};

QTEST_MAIN(NumberTest)
#include "number_test.moc"
