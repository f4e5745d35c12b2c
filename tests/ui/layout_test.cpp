// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_check_text.h"
#include "controls/brev_led.h"
#include "controls/brev_number.h"
#include "controls/brev_pulse_button.h"
#include "editor/core/gang_operations.h"
#include "editor/core/pattern_controls.h"
#include "editor/ui/arrow_button.h"
#include "editor/ui/folder_elision.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/interface_layout.h"
#include "editor/ui/waveform_strip.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

using namespace brev;

namespace {

bool hasKind(QWidget* widget, WidgetKind kind) {
    switch (kind) {
    case WidgetKind::Label:
        return qobject_cast<QLabel*>(widget) && widget->metaObject() == &QLabel::staticMetaObject;
    case WidgetKind::Separator:
        return widget->metaObject() == &QFrame::staticMetaObject;
    case WidgetKind::Number:
        return qobject_cast<TBrevNumber*>(widget);
    case WidgetKind::CheckText:
        return qobject_cast<TBrevCheckText*>(widget);
    case WidgetKind::PulseButton:
        return qobject_cast<TBrevPulseButton*>(widget);
    case WidgetKind::LED:
        return qobject_cast<TBrevLED*>(widget);
    case WidgetKind::ToolButton:
    case WidgetKind::ToolToggle: {
        auto* button = qobject_cast<QToolButton*>(widget);
        return button && button->isCheckable() == (kind == WidgetKind::ToolToggle) &&
               !button->isChecked() && button->autoRaise() && !button->icon().isNull();
    }
    case WidgetKind::ComboBox:
        return qobject_cast<QComboBox*>(widget);
    case WidgetKind::UpArrow:
    case WidgetKind::DownArrow: {
        auto* arrow = qobject_cast<ArrowButton*>(widget);
        return arrow &&
               (arrow->direction() == ArrowButton::Direction::Up) == (kind == WidgetKind::UpArrow);
    }
    }
    return false;
}

QString captionOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    return {};
}

// The event through which each kind of control fires its handler; none for the passive kinds.
QMetaMethod eventOf(WidgetKind kind) {
    switch (kind) {
    case WidgetKind::Number:
        return QMetaMethod::fromSignal(&TBrevNumber::OnChanged);
    case WidgetKind::CheckText:
        return QMetaMethod::fromSignal(&TBrevCheckText::OnChanged);
    case WidgetKind::PulseButton:
        return QMetaMethod::fromSignal(&TBrevPulseButton::OnPulsed);
    case WidgetKind::ToolButton:
    case WidgetKind::ToolToggle:
        return QMetaMethod::fromSignal(&QToolButton::clicked);
    case WidgetKind::ComboBox:
        return QMetaMethod::fromSignal(&QComboBox::activated);
    case WidgetKind::UpArrow:
    case WidgetKind::DownArrow:
        return QMetaMethod::fromSignal(&ArrowButton::OnClick);
    case WidgetKind::Label:
    case WidgetKind::Separator:
    case WidgetKind::LED:
        break;
    }
    return {};
}

// How many connections a control's event has. QObject::receivers is protected; a member pointer
// named through a derived class may call it on any object.
struct ReceiverCount : QObject {
    static int of(const QObject* sender, const QMetaMethod& signal) {
        const QByteArray code = QByteArray::number(QSIGNAL_CODE) + signal.methodSignature();
        return (sender->*(&ReceiverCount::receivers))(code.constData());
    }
};

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlStandsAsDescribed() {
        TInterfaceForm form;
        QWidget* toolbar = form.findComponent(u"ButtonPanel");
        QVERIFY(toolbar);
        QCOMPARE(toolbar->geometry(), QRect(0, 0, 774, 26));
        QHash<WidgetKind, int> counts;
        QSet<QString> names;
        for (const WidgetEntry& entry : interfaceLayout()) {
            const char* what = qPrintable(entry.name);
            QVERIFY2(!names.contains(entry.name.toLower()), what);
            names.insert(entry.name.toLower());
            QWidget* widget = form.findComponent(entry.name.toUpper());
            QVERIFY2(widget, what);
            QCOMPARE(widget->objectName(), entry.name);
            QVERIFY2(hasKind(widget, entry.kind), what);
            QCOMPARE(widget->parentWidget(), entry.inToolbar ? toolbar : &form);
            QCOMPARE(widget->geometry(), entry.geometry);
            QCOMPARE(widget->toolTip(), entry.hint);
            QCOMPARE(widget->property("Tag").toInt(), entry.tag);
            if (!entry.caption.isEmpty())
                QCOMPARE(captionOf(widget), entry.caption);
            if (auto* number = qobject_cast<TBrevNumber*>(widget)) {
                QCOMPARE(number->Min(), entry.minimum);
                QCOMPARE(number->Max(), entry.maximum);
                QCOMPARE(number->Value(), entry.defaultValue);
                QCOMPARE(number->Default(), entry.defaultValue);
                QCOMPARE(number->text(), QString::number(entry.defaultValue));
                QCOMPARE(number->cursor().shape(), Qt::SplitVCursor);
                // The window fires a handler on exactly the numbers the pattern's table gives one.
                const ControlInfo* info = findControl(entry.name.toStdString());
                QVERIFY2(info, what);
                QCOMPARE(bool(entry.handler), info->handler != ChangeHandler::None);
            }
            if (entry.kind == WidgetKind::CheckText || entry.kind == WidgetKind::PulseButton)
                QCOMPARE(widget->cursor().shape(), Qt::PointingHandCursor);
            ++counts[entry.kind];
        }
        QCOMPARE(counts[WidgetKind::Number], 73);
        QCOMPARE(counts[WidgetKind::CheckText], 192);
        QCOMPARE(counts[WidgetKind::LED], 16);
        QCOMPARE(counts[WidgetKind::ToolButton] + counts[WidgetKind::ToolToggle], 23);
        QCOMPARE(counts[WidgetKind::ToolToggle], 5);
        QCOMPARE(counts[WidgetKind::UpArrow] + counts[WidgetKind::DownArrow], kArrowCount);
        QCOMPARE(counts[WidgetKind::PulseButton], 32 + 2 + 1 + 1 + 1 + 8 * 4 + 4 * 3);
        QCOMPARE(counts[WidgetKind::Label], 18 + 4);
    }

    void windowFrame() {
        TInterfaceForm form;
        // The waveform strip and its gap below the LED row made the window 52 pixels taller.
        QCOMPARE(form.size(), QSize(774, 587));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.windowTitle(), QStringLiteral("BREV Edit"));
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form.palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
        QCOMPARE(form.font().pixelSize(), 11);

        QWidget* bar = form.findComponent(u"StatusBar1");
        QVERIFY(bar);
        QCOMPARE(bar->geometry(), QRect(0, 568, 774, 19));
        QCOMPARE(form.waveformStrip()->geometry(), QRect(96, 484, 529, 48));
        const QStringList texts{"Filename", "Samplerate", "Filesize", "Angle offset"};
        int x = 0;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(form.statusPanel(i)->text(), texts[i]);
            QCOMPARE(form.statusPanel(i)->x(), x);
            x += QList<int>{330, 130, 130, 184}[i];
        }
        // The widest text of each panel fits whole; a long path is shortened in the middle.
        const QStringList widest{"(Clipboard data)", "Playback: 88200 Hz", "2147483647 samples",
                                 "Angle offset -42551 samples"};
        for (int i = 0; i < 4; ++i) {
            form.statusPanel(i)->setText(widest[i]);
            QCOMPARE(form.statusPanel(i)->shownText(), widest[i]);
        }
        const QString note = QStringLiteral("/loop.flac (from FLAC, 48000 Hz, 24-bit, mono)");
        form.statusPanel(0)->setText(QStringLiteral("/home/") + QString(300, u'x') + note);
        const QString shown = form.statusPanel(0)->shownText();
        QVERIFY2(shown.startsWith(QStringLiteral("/ho")), qPrintable(shown));
        QVERIFY2(shown.contains(QChar(0x2026)) && shown.endsWith(QStringLiteral("x") + note),
                 qPrintable(shown));

        for (const char* name : {"ColorDialog1", "OpenDialog1", "SaveDialog1"})
            QVERIFY2(form.findChild<QDialog*>(QString::fromLatin1(name)), name);

        QComboBox* drivers = form.driversComboBox();
        QCOMPARE(drivers->geometry().topLeft(), QPoint(554, 2));
        QCOMPARE(drivers->width(), 209);
        QVERIFY(!drivers->isEditable());
        QVERIFY(!(drivers->focusPolicy() & Qt::TabFocus));
    }

    void aLongPathLosesTheMiddleOfItsFolderFirst() {
        const TextWidth characters = [](const QString& text) { return int(text.size()); };
        const QString tail = QStringLiteral("/loop.flac (from FLAC, 48000 Hz, 24-bit, mono)");
        const QString note = QStringLiteral("/home/user/breaks") + tail;
        QCOMPARE(elideFolder(note, 200, characters), note);
        QCOMPARE(elideFolder(note, int(tail.size()) + 6, characters),
                 QStringLiteral("/ho\u2026ks") + tail); // as much of the folder as fits
        QCOMPARE(elideFolder(note, int(tail.size()) + 1, characters), QChar(0x2026) + tail);
        // Too narrow for the name, or no folder: the panel's plain shortening takes over.
        QVERIFY(elideFolder(note, int(tail.size()), characters).isEmpty());
        QVERIFY(elideFolder(QStringLiteral("Sound output lost: gone"), 10, characters).isEmpty());
    }

    void fileDialogsStartInTheWorkingFolderUntilOneIsRemembered() {
        TInterfaceForm form;
        QFileDialog* dialog = form.openDialog();
        dialog->setDirectory(QDir::rootPath());
        QTimer::singleShot(0, dialog, &QDialog::reject);
        QVERIFY(!form.dialogs().openFile({"wav", "WAV|*.wav", QString()}));
        // The folder the list shows, not just the one the dialog reports.
        auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        QVERIFY(list);
        auto* files = qobject_cast<QFileSystemModel*>(list->model());
        QVERIFY(files);
        QCOMPARE(files->rootPath(), QDir::currentPath());

        // The shared save dialog offers the name suggested, not the one typed last time.
        QFileDialog* save = form.saveDialog();
        auto* name = save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        for (const QString& suggested : {QStringLiteral("loop.brev"), QString()}) {
            save->selectFile(QStringLiteral("mix.wav"));
            QTimer::singleShot(0, save, &QDialog::reject);
            QVERIFY(!form.dialogs().saveFile({"brev", "Brev|*.brev", QString(), suggested}));
            QCOMPARE(name->text(), suggested);
        }
    }

    // Values as written in the window's description, independent of how the table is built.
    void describedValues() {
        TInterfaceForm form;
        auto* gangMuteAll = form.component<TBrevPulseButton>(u"GangMuteAllButton");
        QVERIFY(gangMuteAll);
        QCOMPARE(gangMuteAll->toolTip(), QStringLiteral("Mute al"));
        QCOMPARE(gangMuteAll->text(), QStringLiteral("A"));
        QCOMPARE(gangMuteAll->geometry(), QRect(640, 200, 25, 16));
        for (int i = 0; i < 16; ++i) {
            auto* phase = form.component<TBrevCheckText>(QStringLiteral("Phase%1CheckText").arg(i));
            QVERIFY(phase);
            QCOMPARE(phase->text().size(), 1);
            QCOMPARE(phase->text().at(0).unicode(), char16_t(0xf8));
            auto* exclude =
                form.component<TBrevCheckText>(QStringLiteral("exclude%1checktext").arg(i));
            QCOMPARE(exclude->text(), QString::number(i));
            auto* segment = form.component<TBrevNumber>(QStringLiteral("Segment%1Number").arg(i));
            QCOMPARE(segment->Value(), i);
            QCOMPARE(segment->Default(), i);
            QCOMPARE(form.findComponent(QStringLiteral("LED%1").arg(i))->size(), QSize(25, 8));
        }
        const int columns[] = {96,  128, 160, 192, 232, 264, 296, 328,
                               368, 400, 432, 464, 504, 536, 568, 600};
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(form.findComponent(QStringLiteral("Volume%1Number").arg(i))->pos(),
                     QPoint(columns[i], 80));
            QCOMPARE(form.findComponent(QStringLiteral("ClonePrevious%1Button").arg(i))->pos(),
                     QPoint(columns[i], 440));
        }
        QCOMPARE(form.findComponent(u"StaticText1")->property("text").toString(),
                 QStringLiteral(" Deckstop"));
        QCOMPARE(form.findComponent(u"StaticText1")->y(), 152);

        auto* ramp = form.component<TBrevNumber>(u"DeckstopRampNumber");
        QCOMPARE(ramp->geometry(), QRect(728, 488, 25, 16));
        QCOMPARE(ramp->Value(), 50);
        QCOMPARE(ramp->Min(), 1);
        QCOMPARE(ramp->toolTip(), QStringLiteral("Deckstop steepness"));
        auto* fade = form.component<TBrevNumber>(u"FadeSamplesNumber");
        QCOMPARE(fade->Value(), 100);
        QCOMPARE(fade->Max(), 999);
        auto* volume = form.component<TBrevNumber>(u"GangVolumeNumber");
        QCOMPARE(volume->Min(), -99);
        QCOMPARE(volume->toolTip(), QStringLiteral("Change all volumes"));
        auto* input = form.component<TBrevNumber>(u"GangStaccatoRandomInputNumber");
        QCOMPARE(input->geometry(), QRect(704, 128, 17, 16));
        QCOMPARE(input->Min(), 1);

        auto* hints = form.component<QToolButton>(u"HintsButton");
        QCOMPARE(hints->geometry(), QRect(2 + 24 * 17, 2, 23, 22));
        QVERIFY(hints->isCheckable());
        QCOMPARE(hints->toolTip(), QStringLiteral("Enable hints"));
        QVERIFY(!form.component<QToolButton>(u"PlayButton")->isCheckable());
    }

    void arrowsFollowTheNumbersInTagOrder() {
        TInterfaceForm form;
        QStringList expected;
        for (int i = 0; i < 16; ++i)
            expected << QStringLiteral("Segment%1Number").arg(i);
        expected << "GangSegmentNumber";
        for (int i = 0; i < 16; ++i)
            expected << QStringLiteral("Repeats%1Number").arg(i);
        expected << "GangRepeatsNumber";
        for (int i = 0; i < 16; ++i)
            expected << QStringLiteral("Volume%1Number").arg(i);
        expected << "GangVolumeNumber";
        for (int i = 0; i < 16; ++i)
            expected << QStringLiteral("Divider%1Number").arg(i);
        expected << "GangStaccatoDividerNumber"
                 << "GangStaccatoRandomInputNumber"
                 << "FadeSamplesNumber"
                 << "SwingNumber"
                 << "CuttingAngleNumber"
                 << "DeckstopRampNumber";
        QCOMPARE(expected.size(), 73);

        const QList<ArrowButton*> arrows = form.findChildren<ArrowButton*>();
        QCOMPARE(arrows.size(), 146);
        QHash<int, QList<ArrowButton*>> byTag;
        for (ArrowButton* arrow : arrows)
            byTag[arrow->property("Tag").toInt()] << arrow;
        for (int tag = 0; tag < 73; ++tag) {
            QWidget* number = form.findComponent(expected[tag]);
            QVERIFY2(number, qPrintable(expected[tag]));
            QCOMPARE(byTag[tag].size(), 2);
            for (ArrowButton* arrow : byTag[tag]) {
                const bool up = arrow->direction() == ArrowButton::Direction::Up;
                QCOMPARE(arrow->text(), up ? QStringLiteral("t") : QStringLiteral("u"));
                QCOMPARE(arrow->geometry(),
                         QRect(number->x() + number->width(), number->y() + (up ? 0 : 9), 10, 8));
            }
        }
    }

    void nothingOverlaps() {
        TInterfaceForm form;
        QList<QWidget*> placed;
        for (QObject* child : form.children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget && !widget->isWindow())
                placed << widget;
        }
        QVERIFY(placed.size() > 500);
        const QRect client(0, 0, 774, 587);
        for (int a = 0; a < placed.size(); ++a) {
            QVERIFY2(client.contains(placed[a]->geometry()), qPrintable(placed[a]->objectName()));
            for (int b = a + 1; b < placed.size(); ++b) {
                QVERIFY2(!placed[a]->geometry().intersects(placed[b]->geometry()),
                         qPrintable(placed[a]->objectName() + " / " + placed[b]->objectName()));
            }
        }
        QWidget* toolbar = form.findComponent(u"ButtonPanel");
        const QList<QWidget*> tools = toolbar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(tools.size(), 24);
        for (int a = 0; a < tools.size(); ++a) {
            QVERIFY(toolbar->rect().contains(tools[a]->geometry()));
            for (int b = a + 1; b < tools.size(); ++b)
                QVERIFY(!tools[a]->geometry().intersects(tools[b]->geometry()));
        }
    }

    void everyHandlerIsWiredOnceAndReachesItsWork() {
        TInterfaceForm form;
        for (const WidgetEntry& entry : interfaceLayout()) {
            const QMetaMethod event = eventOf(entry.kind);
            if (!event.isValid())
                continue;
            QCOMPARE(ReceiverCount::of(form.findComponent(entry.name), event),
                     entry.handler ? 3 : 0); // the handler inside its history step
            // Buttons listed one by one keep their handlers' naming, so none got its neighbour's.
            const QString handler = QString::fromLatin1(entry.handler.name);
            if (entry.inToolbar && entry.kind != WidgetKind::ComboBox && entry.handler)
                QCOMPARE(handler, entry.name + "Click");
            if (entry.name.startsWith("Gang") && entry.kind == WidgetKind::PulseButton) {
                QCOMPARE(handler, entry.name + "Pulsed");
                // The handler runs the core's operation of that name; an unknown one does nothing.
                const auto names = gangButtonNames();
                QVERIFY(std::ranges::find(names, entry.name.toStdString()) != names.end());
            }
        }

        form.component<QToolButton>(u"SmartFadesButton")->setChecked(true);
        form.component<TBrevNumber>(u"Volume3Number")->SetValue(-6);
        QVERIFY(form.component<TBrevCheckText>(u"FadeIn3CheckText")->Value());
        QVERIFY(form.component<TBrevCheckText>(u"FadeOut2CheckText")->Value());
        form.component<TBrevNumber>(u"DeckstopRampNumber")->SetValue(10);
        QCOMPARE(form.statusPanel(3)->text(), QStringLiteral("Angle offset 0 samples"));
        form.component<TBrevNumber>(u"GangVolumeNumber")->SetValue(-3);
        QCOMPARE(form.component<TBrevNumber>(u"Volume15Number")->Value(), -3);

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QWindow* window = form.windowHandle();
        auto click = [&](QStringView name) {
            QWidget* control = form.findComponent(name);
            QTest::mouseClick(window, Qt::LeftButton, {},
                              control->mapTo(&form, control->rect().center()));
        };
        click(u"UpArrow70");
        QCOMPARE(form.component<TBrevNumber>(u"SwingNumber")->Value(), 1);
        click(u"GangMuteAllButton");
        QVERIFY(form.component<TBrevCheckText>(u"Mute9CheckText")->Value());
        click(u"HintsButton");
        click(u"HintsButton");
        QVERIFY(!form.hintsShown());
    }

    void sweepsAcrossTheGrid() {
        TInterfaceForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QWindow* window = form.windowHandle();
        const char* rows[] = {"Staccato", "Deckstop", "Reverse", "Mute",    "MuteLeft", "MuteRight",
                              "Flip",     "Phase",    "Lock",    "Exclude", "FadeIn",   "FadeOut"};

        // Down the column of slot 5, starting on the background above it and passing the divider.
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(276, 100));
        for (int y = 100; y <= 410; y += 4)
            QTest::mouseMove(window, QPoint(276, y));
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(276, 410));
        for (const char* row : rows) {
            auto* flag =
                form.component<TBrevCheckText>(QStringLiteral("%1%2CheckText").arg(row).arg(5));
            QVERIFY2(flag->Value(), row);
            auto* neighbour =
                form.component<TBrevCheckText>(QStringLiteral("%1%2CheckText").arg(row).arg(6));
            QVERIFY2(!neighbour->Value(), row);
        }
        QCOMPARE(form.component<TBrevNumber>(u"Divider5Number")->Value(), 2);

        // Along the mute row with the right button, across the separators, from slot 15 to 1.
        for (int i = 0; i < 16; ++i)
            form.component<TBrevCheckText>(QStringLiteral("Mute%1CheckText").arg(i))
                ->SetValue(true);
        QTest::mousePress(window, Qt::RightButton, {}, QPoint(610, 208));
        for (int x = 610; x >= 130; x -= 5)
            QTest::mouseMove(window, QPoint(x, 208));
        QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(130, 208));
        for (int i = 0; i < 16; ++i)
            QCOMPARE(
                form.component<TBrevCheckText>(QStringLiteral("Mute%1CheckText").arg(i))->Value(),
                i == 0);
    }

    void arrowsAndTogglesShowOnAnyBackground() {
        TInterfaceForm form;
        auto* arrow = form.findChild<ArrowButton*>(QStringLiteral("UpArrow3"));
        for (const QColor& background : {QColor(Qt::white), QColor(0x10, 0x10, 0x40)}) {
            QPalette colours = form.palette();
            colours.setColor(QPalette::Window, background);
            form.setPalette(colours);
            const QImage glyph = arrow->grab().toImage();
            int contrasting = 0;
            for (int y = 0; y < glyph.height(); ++y) {
                for (int x = 0; x < glyph.width(); ++x)
                    contrasting +=
                        std::abs(qGray(glyph.pixel(x, y)) - qGray(background.rgb())) > 128;
            }
            QVERIFY2(contrasting >= 5, qPrintable(background.name()));
        }

        auto* loop = form.component<QToolButton>(u"LoopButton");
        auto meanGrey = [](const QImage& image) {
            qint64 sum = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    sum += qGray(image.pixel(x, y));
            }
            return sum / (image.width() * image.height());
        };
        loop->setChecked(false);
        const auto up = meanGrey(loop->grab().toImage());
        loop->setChecked(true);
        const auto down = meanGrey(loop->grab().toImage());
        QVERIFY2(up - down > 30, qPrintable(QStringLiteral("up %1, down %2").arg(up).arg(down)));
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
