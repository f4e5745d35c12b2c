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

using namespace brev;

namespace {

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
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    ~FlagRow() { qDeleteAll(spies); }
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

} // namespace

class ToggleControlsTest : public QObject {
    Q_OBJECT

private slots:
    void checkTextValueFromCode() {
        TBrevCheckText flag;
        QCOMPARE(flag.text(), QStringLiteral("X"));
        QVERIFY(!flag.Value());
        QCOMPARE(flag.cursor().shape(), Qt::PointingHandCursor);
        QSignalSpy spy(&flag, &TBrevCheckText::OnChanged);
        flag.SetValue(false);
        QCOMPARE(spy.count(), 0);
        flag.SetValue(true);
        flag.SetValue(true);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toBool(), true);
        flag.SetValue(false);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(1).toBool(), false);
    }

    void checkTextColours() {
        TBrevCheckText flag;
        flag.resize(25, 16);
        QImage off = flag.grab().toImage();
        QCOMPARE(QColor(off.pixel(3, 3)), QColor(Qt::black));
        flag.SetValue(true);
        QImage on = flag.grab().toImage();
        QCOMPARE(QColor(on.pixel(3, 3)), QColor(Qt::white));
    }

    void leftSweepTurnsEachFlagOnOnce() {
        FlagRow row;
        row.flags[3]->SetValue(true);
        row.watch();
        QTest::mousePress(row.handle(), Qt::LeftButton, {}, QPoint(14, 28));
        row.sweep(14, 200);
        QTest::mouseRelease(row.handle(), Qt::LeftButton, {}, QPoint(200, 28));
        for (int i = 0; i < 6; ++i) {
            QVERIFY2(row.flags[i]->Value(), qPrintable(row.flags[i]->objectName()));
            QCOMPARE(row.spies[i]->count(), i == 3 ? 0 : 1);
        }

        // Moving with no button held changes nothing.
        row.flags[2]->SetValue(false);
        row.sweep(200, 14);
        QVERIFY(!row.flags[2]->Value());
    }

    void rightSweepTurnsFlagsOff() {
        FlagRow row;
        for (auto* flag : row.flags)
            flag->SetValue(true);
        row.watch();
        // Starts on the last flag and ends on the second: the first stays on.
        QTest::mousePress(row.handle(), Qt::RightButton, {}, QPoint(180, 28));
        row.sweep(180, 44);
        QTest::mouseRelease(row.handle(), Qt::RightButton, {}, QPoint(44, 28));
        QVERIFY(row.flags[0]->Value());
        QCOMPARE(row.spies[0]->count(), 0);
        for (int i = 1; i < 6; ++i) {
            QVERIFY(!row.flags[i]->Value());
            QCOMPARE(row.spies[i]->count(), 1);
        }
    }

    void sweepMayStartOnTheBackground() {
        FlagRow row;
        row.watch();
        QTest::mousePress(row.handle(), Qt::LeftButton, {}, QPoint(2, 50));
        QTest::mouseMove(row.handle(), QPoint(6, 28));
        row.sweep(6, 120);
        QTest::mouseRelease(row.handle(), Qt::LeftButton, {}, QPoint(120, 28));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(row.flags[i]->Value(), i < 4);
        // A middle-button press does nothing, nor does its sweep.
        QTest::mousePress(row.handle(), Qt::MiddleButton, {}, QPoint(190, 28));
        row.sweep(190, 14);
        QTest::mouseRelease(row.handle(), Qt::MiddleButton, {}, QPoint(14, 28));
        for (int i = 0; i < 6; ++i)
            QCOMPARE(row.flags[i]->Value(), i < 4);
    }

    void pulseFiresOncePerPressThenFlashes() {
        QWidget window;
        window.resize(100, 50);
        auto* button = new TBrevPulseButton(&window);
        button->move(10, 10);
        QCOMPARE(button->size(), QSize(32, 16));
        QCOMPARE(button->text(), QStringLiteral("P"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWindow* handle = window.windowHandle();
        const QPoint at(20, 18);

        int pulses = 0;
        bool flashingInAction = true;
        bool flashingWhenPendingRan = false;
        connect(button, &TBrevPulseButton::OnPulsed, this, [&](TBrevPulseButton* sender) {
            ++pulses;
            QCOMPARE(sender, button);
            flashingInAction = button->isFlashing();
            // Pending events run after the flash is drawn, before the wait.
            QTimer::singleShot(0, this, [&] { flashingWhenPendingRan = button->isFlashing(); });
        });

        QElapsedTimer clock;
        clock.start();
        QTest::mousePress(handle, Qt::LeftButton, {}, at);
        QVERIFY(clock.elapsed() >= 195);
        QCOMPARE(pulses, 1);
        QVERIFY(!flashingInAction);
        QVERIFY(flashingWhenPendingRan);
        QVERIFY(!button->isFlashing());
        // Holding the button and moving over it repeats nothing.
        QTest::mouseMove(handle, at + QPoint(3, 1));
        QTest::qWait(100);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, at);
        QCOMPARE(pulses, 1);

        QTest::mouseClick(handle, Qt::RightButton, {}, at);
        QTest::mouseClick(handle, Qt::MiddleButton, {}, at);
        QCOMPARE(pulses, 1);

        // Two quick presses: two actions, each with its own flash.
        clock.restart();
        QTest::mouseClick(handle, Qt::LeftButton, {}, at);
        QTest::mouseClick(handle, Qt::LeftButton, {}, at);
        QCOMPARE(pulses, 3);
        QVERIFY(clock.elapsed() >= 395);
    }

    void ledPaintsOnlyOnChange() {
        PaintCountingLED led;
        QVERIFY(!led.State());
        QCOMPARE(led.size(), QSize(16, 8));
        led.resize(25, 8);
        QImage dark = led.grab().toImage();
        QCOMPARE(QColor(dark.pixel(0, 0)), QColor(Qt::black));
        QCOMPARE(QColor(dark.pixel(5, 3)), QColor(Qt::black));

        led.show();
        QVERIFY(QTest::qWaitForWindowExposed(&led));
        QCoreApplication::processEvents();
        led.paints = 0;
        for (int i = 0; i < 16; ++i) {
            led.SetState(true);
            QCoreApplication::processEvents();
        }
        QCOMPARE(led.paints, 1);

        QImage lit = led.grab().toImage();
        QCOMPARE(QColor(lit.pixel(0, 0)), QColor(Qt::black));
        QCOMPARE(QColor(lit.pixel(23, 6)), QColor(Qt::black));
        QCOMPARE(QColor(lit.pixel(5, 3)), QColor(Qt::white));
        QCOMPARE(QColor(lit.pixel(22, 5)), QColor(Qt::white));
        // The last column is not part of the lamp.
        QVERIFY(QColor(lit.pixel(24, 3)) != QColor(Qt::white));
    }

    void checkboxFollowsTheButton() {
        QWidget window;
        window.resize(40, 40);
        auto* box = new TBrevCheckbox(&window);
        box->move(10, 10);
        QCOMPARE(box->size(), QSize(9, 9));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy clicks(box, &TBrevCheckbox::OnClick);
        QWindow* handle = window.windowHandle();

        QTest::mouseClick(handle, Qt::LeftButton, {}, QPoint(14, 14));
        QVERIFY(box->State());
        QCOMPARE(clicks.count(), 1);
        QImage on = box->grab().toImage();
        QCOMPARE(QColor(on.pixel(0, 0)), QColor(Qt::white));
        QCOMPARE(QColor(on.pixel(4, 4)), QColor(Qt::white));

        QTest::mouseClick(handle, Qt::RightButton, {}, QPoint(14, 14));
        QVERIFY(!box->State());
        QCOMPARE(clicks.count(), 1);
        QImage off = box->grab().toImage();
        QCOMPARE(QColor(off.pixel(0, 0)), QColor(Qt::white));
        QCOMPARE(QColor(off.pixel(8, 8)), QColor(Qt::white));
        QCOMPARE(QColor(off.pixel(4, 4)), QColor(Qt::black));
    }
};

QTEST_MAIN(ToggleControlsTest)
#include "toggle_controls_test.moc"
