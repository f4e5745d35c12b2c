// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/brev_check_text.h"
#include "controls/brev_led.h"
#include "controls/brev_number.h"
#include "controls/brev_pulse_button.h"
#include "editor/core/gang_operations.h"
#include "editor/core/pattern_controls.h"
#include "editor/core/pattern_model.h"
#include "editor/ui/arrow_button.h"
#include "editor/ui/folder_elision.h"
#include "editor/ui/interface_form.h"
#include "editor/ui/interface_layout.h"
#include "editor/ui/pattern_history.h"
#include "editor/ui/waveform_strip.h"
#include "tests/ui/window_probe.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>

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

// Each control exists once, of its kind, where the layout puts it; the numbers start at the
// pattern's defaults, and fire a handler exactly where the pattern's table gives one.
TEST(LayoutTest, EveryControlStandsAsDescribed) {
    TInterfaceForm form;
    QWidget* toolbar = probe(form).findComponent(u"ButtonPanel");
    ASSERT_TRUE(toolbar);
    ASSERT_EQ(toolbar->geometry(), QRect(0, 0, 774, 26));
    QSet<QString> names;
    for (const WidgetEntry& entry : interfaceLayout()) {
        const std::string what = entry.name.toStdString();
        ASSERT_FALSE(names.contains(entry.name.toLower())) << what;
        names.insert(entry.name.toLower());
        QWidget* widget = probe(form).findComponent(entry.name.toUpper());
        ASSERT_TRUE(widget) << what;
        ASSERT_EQ(widget->objectName(), entry.name);
        ASSERT_TRUE(hasKind(widget, entry.kind)) << what;
        ASSERT_EQ(widget->parentWidget(), entry.inToolbar ? toolbar : &form) << what;
        if (auto* number = qobject_cast<TBrevNumber*>(widget)) {
            ASSERT_EQ(number->text(), QString::number(number->Value())) << what;
            ASSERT_EQ(number->cursor().shape(), Qt::SplitVCursor) << what;
            ASSERT_TRUE(findControl(what)) << what;
        }
        if (entry.kind == WidgetKind::CheckText || entry.kind == WidgetKind::PulseButton) {
            ASSERT_EQ(widget->cursor().shape(), Qt::PointingHandCursor) << what;
        }
    }
    // The window holds the numbers and flags a new model holds; the toggles wait for the settings.
    const PatternModel fresh;
    for (std::size_t id = 0; id < patternControls().size(); ++id) {
        if (patternControls()[id].kind != ControlKind::Toggle) {
            ASSERT_EQ(form.pattern().value(int(id)), fresh.value(int(id)))
                << patternControls()[id].name;
        }
    }
}

TEST(LayoutTest, WindowFrame) {
    TInterfaceForm form;
    // The waveform strip and its gap below the LED row made the window 52 pixels taller.
    ASSERT_EQ(form.size(), QSize(774, 587));
    ASSERT_EQ(form.minimumSize(), form.maximumSize());
    ASSERT_EQ(form.windowTitle(), QStringLiteral("BREV Edit"));
    ASSERT_FALSE((form.windowFlags() & Qt::WindowMaximizeButtonHint));
    ASSERT_EQ(form.palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    ASSERT_EQ(form.font().pixelSize(), 11);

    QWidget* bar = probe(form).findComponent(u"StatusBar1");
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->geometry(), QRect(0, 568, 774, 19));
    ASSERT_EQ(probe(form).waveformStrip()->geometry(), QRect(96, 484, 529, 48));
    const QStringList texts{"Filename", "Samplerate", "Filesize", "Angle offset"};
    int x = 0;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(form.statusPanel(i)->text(), texts[i]);
        ASSERT_EQ(form.statusPanel(i)->x(), x);
        x += QList<int>{330, 130, 130, 184}[i];
    }
    // The widest text of each panel fits whole; a long path is shortened in the middle.
    const QStringList widest{"(Clipboard data)", "Playback: 88200 Hz", "2147483647 samples",
                             "Angle offset -42551 samples"};
    for (int i = 0; i < 4; ++i) {
        form.statusPanel(i)->setText(widest[i]);
        ASSERT_EQ(form.statusPanel(i)->shownText(), widest[i]);
    }
    const QString note = QStringLiteral("/loop.flac (from FLAC, 48000 Hz, 24-bit, mono)");
    form.statusPanel(0)->setText(QStringLiteral("/home/") + QString(300, u'x') + note);
    const QString shown = form.statusPanel(0)->shownText();
    ASSERT_TRUE(shown.startsWith(QStringLiteral("/ho"))) << shown.toStdString();
    ASSERT_TRUE(shown.contains(QChar(0x2026)) && shown.endsWith(QStringLiteral("x") + note))
        << shown.toStdString();

    for (const char* name : {"ColorDialog1", "OpenDialog1", "SaveDialog1"})
        ASSERT_TRUE(form.findChild<QDialog*>(QString::fromLatin1(name))) << name;

    QComboBox* drivers = probe(form).driversComboBox();
    ASSERT_EQ(drivers->geometry().topLeft(), QPoint(554, 2));
    ASSERT_EQ(drivers->width(), 209);
    ASSERT_FALSE(drivers->isEditable());
    ASSERT_FALSE((drivers->focusPolicy() & Qt::TabFocus));
}

TEST(LayoutTest, ALongPathLosesTheMiddleOfItsFolderFirst) {
    const TextWidth characters = [](const QString& text) { return int(text.size()); };
    const QString tail = QStringLiteral("/loop.flac (from FLAC, 48000 Hz, 24-bit, mono)");
    const QString note = QStringLiteral("/home/user/breaks") + tail;
    ASSERT_EQ(elideFolder(note, 200, characters), note);
    ASSERT_EQ(elideFolder(note, int(tail.size()) + 6, characters),
              QStringLiteral("/ho\u2026ks") + tail); // as much of the folder as fits
    ASSERT_EQ(elideFolder(note, int(tail.size()) + 1, characters), QChar(0x2026) + tail);
    // Too narrow for the name, or no folder: the panel's plain shortening takes over.
    ASSERT_TRUE(elideFolder(note, int(tail.size()), characters).isEmpty());
    ASSERT_TRUE(elideFolder(QStringLiteral("Sound output lost: gone"), 10, characters).isEmpty());
}

TEST(LayoutTest, FileDialogsStartInTheWorkingFolderUntilOneIsRemembered) {
    TInterfaceForm form;
    QFileDialog* dialog = probe(form).openDialog();
    dialog->setDirectory(QDir::rootPath());
    QTimer::singleShot(0, dialog, &QDialog::reject);
    ASSERT_FALSE(form.dialogs().openFile({"wav", "WAV|*.wav", QString()}));
    // The folder the list shows, not just the one the dialog reports.
    auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
    ASSERT_TRUE(list);
    auto* files = qobject_cast<QFileSystemModel*>(list->model());
    ASSERT_TRUE(files);
    ASSERT_EQ(files->rootPath(), QDir::currentPath());

    // The shared save dialog offers the name suggested, not the one typed last time.
    QFileDialog* save = probe(form).saveDialog();
    auto* name = save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    for (const QString& suggested : {QStringLiteral("loop.brev"), QString()}) {
        save->selectFile(QStringLiteral("mix.wav"));
        QTimer::singleShot(0, save, &QDialog::reject);
        ASSERT_FALSE(form.dialogs().saveFile({"brev", "Brev|*.brev", QString(), suggested}));
        ASSERT_EQ(name->text(), suggested);
    }
}

// Values as written in the window's description, independent of how the table is built.
TEST(LayoutTest, DescribedValues) {
    TInterfaceForm form;
    auto* gangMuteAll = probe(form).component<TBrevPulseButton>(u"GangMuteAllButton");
    ASSERT_TRUE(gangMuteAll);
    ASSERT_EQ(gangMuteAll->toolTip(), QStringLiteral("Mute al"));
    ASSERT_EQ(gangMuteAll->text(), QStringLiteral("A"));
    ASSERT_EQ(gangMuteAll->geometry(), QRect(640, 200, 25, 16));
    for (int i = 0; i < 16; ++i) {
        auto* phase =
            probe(form).component<TBrevCheckText>(QStringLiteral("Phase%1CheckText").arg(i));
        ASSERT_TRUE(phase);
        ASSERT_EQ(phase->text().size(), 1);
        ASSERT_EQ(phase->text().at(0).unicode(), char16_t(0xf8));
        auto* exclude =
            probe(form).component<TBrevCheckText>(QStringLiteral("exclude%1checktext").arg(i));
        ASSERT_EQ(exclude->text(), QString::number(i));
        auto* segment =
            probe(form).component<TBrevNumber>(QStringLiteral("Segment%1Number").arg(i));
        ASSERT_EQ(segment->Value(), i);
        ASSERT_EQ(segment->Default(), i);
        ASSERT_EQ(probe(form).findComponent(QStringLiteral("LED%1").arg(i))->size(), QSize(25, 8));
    }
    const int columns[] = {96,  128, 160, 192, 232, 264, 296, 328,
                           368, 400, 432, 464, 504, 536, 568, 600};
    for (int i = 0; i < 16; ++i) {
        ASSERT_EQ(probe(form).findComponent(QStringLiteral("Volume%1Number").arg(i))->pos(),
                  QPoint(columns[i], 80));
        ASSERT_EQ(probe(form).findComponent(QStringLiteral("ClonePrevious%1Button").arg(i))->pos(),
                  QPoint(columns[i], 440));
    }
    ASSERT_EQ(probe(form).findComponent(u"StaticText1")->property("text").toString(),
              QStringLiteral(" Deckstop"));
    ASSERT_EQ(probe(form).findComponent(u"StaticText1")->y(), 152);

    auto* ramp = probe(form).component<TBrevNumber>(u"DeckstopRampNumber");
    ASSERT_EQ(ramp->geometry(), QRect(728, 488, 25, 16));
    ASSERT_EQ(ramp->Value(), 50);
    ASSERT_EQ(ramp->Min(), 1);
    ASSERT_EQ(ramp->toolTip(), QStringLiteral("Deckstop steepness"));
    auto* fade = probe(form).component<TBrevNumber>(u"FadeSamplesNumber");
    ASSERT_EQ(fade->Value(), 100);
    ASSERT_EQ(fade->Max(), 999);
    auto* volume = probe(form).component<TBrevNumber>(u"GangVolumeNumber");
    ASSERT_EQ(volume->Min(), -99);
    ASSERT_EQ(volume->toolTip(), QStringLiteral("Change all volumes"));
    auto* input = probe(form).component<TBrevNumber>(u"GangStaccatoRandomInputNumber");
    ASSERT_EQ(input->geometry(), QRect(704, 128, 17, 16));
    ASSERT_EQ(input->Min(), 1);

    auto* hints = probe(form).component<QToolButton>(u"HintsButton");
    ASSERT_EQ(hints->geometry(), QRect(2 + 24 * 17, 2, 23, 22));
    ASSERT_TRUE(hints->isCheckable());
    ASSERT_EQ(hints->toolTip(), QStringLiteral("Enable hints"));
    ASSERT_FALSE(probe(form).component<QToolButton>(u"PlayButton")->isCheckable());
}

TEST(LayoutTest, ArrowsFollowTheNumbersInTagOrder) {
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
    ASSERT_EQ(expected.size(), 73);

    const QList<ArrowButton*> arrows = form.findChildren<ArrowButton*>();
    ASSERT_EQ(arrows.size(), 146);
    QHash<int, QList<ArrowButton*>> byTag;
    for (ArrowButton* arrow : arrows)
        byTag[arrow->property("Tag").toInt()] << arrow;
    for (int tag = 0; tag < 73; ++tag) {
        QWidget* number = probe(form).findComponent(expected[tag]);
        ASSERT_TRUE(number) << expected[tag].toStdString();
        ASSERT_EQ(byTag[tag].size(), 2);
        for (ArrowButton* arrow : byTag[tag]) {
            const bool up = arrow->direction() == ArrowButton::Direction::Up;
            ASSERT_EQ(arrow->text(), up ? QStringLiteral("t") : QStringLiteral("u"));
            ASSERT_EQ(arrow->geometry(),
                      QRect(number->x() + number->width(), number->y() + (up ? 0 : 9), 10, 8));
        }
    }
}

TEST(LayoutTest, NothingOverlaps) {
    TInterfaceForm form;
    QList<QWidget*> placed;
    for (QObject* child : form.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow())
            placed << widget;
    }
    ASSERT_TRUE(placed.size() > 500);
    const QRect client(0, 0, 774, 587);
    for (int a = 0; a < placed.size(); ++a) {
        ASSERT_TRUE(client.contains(placed[a]->geometry()))
            << placed[a]->objectName().toStdString();
        for (int b = a + 1; b < placed.size(); ++b) {
            ASSERT_FALSE(placed[a]->geometry().intersects(placed[b]->geometry()))
                << (placed[a]->objectName() + " / " + placed[b]->objectName()).toStdString();
        }
    }
    QWidget* toolbar = probe(form).findComponent(u"ButtonPanel");
    const QList<QWidget*> tools = toolbar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(tools.size(), 24);
    for (int a = 0; a < tools.size(); ++a) {
        ASSERT_TRUE(toolbar->rect().contains(tools[a]->geometry()));
        for (int b = a + 1; b < tools.size(); ++b)
            ASSERT_FALSE(tools[a]->geometry().intersects(tools[b]->geometry()));
    }
}

TEST(LayoutTest, EveryHandlerIsWiredOnceAndReachesItsWork) {
    TInterfaceForm form;
    for (const WidgetEntry& entry : interfaceLayout()) {
        const QMetaMethod event = eventOf(entry.kind);
        if (!event.isValid())
            continue;
        ASSERT_EQ(ReceiverCount::of(probe(form).findComponent(entry.name), event),
                  entry.handler ? 3 : 0); // the handler inside its history step
        // Buttons listed one by one keep their handlers' naming, so none got its neighbour's.
        const QString handler = QString::fromLatin1(entry.handler.name);
        if (entry.inToolbar && entry.kind != WidgetKind::ComboBox && entry.handler) {
            ASSERT_EQ(handler, entry.name + "Click");
        }
        if (entry.name.startsWith("Gang") && entry.kind == WidgetKind::PulseButton) {
            ASSERT_EQ(handler, entry.name + "Pulsed");
            // The handler runs the core's operation of that name; an unknown one does nothing.
            const auto names = gangButtonNames();
            ASSERT_TRUE(std::ranges::find(names, entry.name.toStdString()) != names.end());
        }
    }

    probe(form).component<QToolButton>(u"SmartFadesButton")->setChecked(true);
    probe(form).component<TBrevNumber>(u"Volume3Number")->SetValue(-6);
    ASSERT_TRUE(probe(form).component<TBrevCheckText>(u"FadeIn3CheckText")->Value());
    ASSERT_TRUE(probe(form).component<TBrevCheckText>(u"FadeOut2CheckText")->Value());
    probe(form).component<TBrevNumber>(u"DeckstopRampNumber")->SetValue(10);
    ASSERT_EQ(form.statusPanel(3)->text(), QStringLiteral("Angle offset 0 samples"));
    probe(form).component<TBrevNumber>(u"GangVolumeNumber")->SetValue(-3);
    ASSERT_EQ(probe(form).component<TBrevNumber>(u"Volume15Number")->Value(), -3);

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QWindow* window = form.windowHandle();
    auto click = [&](QStringView name) {
        QWidget* control = probe(form).findComponent(name);
        QTest::mouseClick(window, Qt::LeftButton, {},
                          control->mapTo(&form, control->rect().center()));
    };
    click(u"UpArrow70");
    ASSERT_EQ(probe(form).component<TBrevNumber>(u"SwingNumber")->Value(), 1);
    click(u"GangMuteAllButton");
    ASSERT_TRUE(probe(form).component<TBrevCheckText>(u"Mute9CheckText")->Value());
    click(u"HintsButton");
    click(u"HintsButton");
    ASSERT_FALSE(probe(form).hintsShown());
}

// Numbers, flags and toggles show the model; an edit on one lands in the model and runs its
// handler; undo shows the old value again.
TEST(LayoutTest, ControlsAreViewsOfThePatternModel) {
    TInterfaceForm form;
    PatternModel& model = form.pattern();
    auto* volume = probe(form).component<TBrevNumber>(u"Volume3Number");
    model.SetNumberValue("Volume3Number", 4);
    ASSERT_EQ(volume->text(), QStringLiteral("4"));

    probe(form).component<QToolButton>(u"SmartFadesButton")->setChecked(true);
    probe(form).history().openStep();
    volume->SetValue(-99);
    probe(form).history().closeStep();
    ASSERT_EQ(model.NumberValue("Volume3Number"), volume->Min());
    ASSERT_EQ(volume->text(), QString::number(volume->Min()));
    ASSERT_TRUE(model.CheckValue("FadeIn3CheckText"));
    probe(form).history().undo();
    ASSERT_EQ(volume->text(), QStringLiteral("4"));
    ASSERT_FALSE(model.CheckValue("FadeIn3CheckText"));

    probe(form).component<TBrevCheckText>(u"Flip5CheckText")->SetValue(true);
    ASSERT_TRUE(model.CheckValue("Flip5CheckText"));
    auto* loop = probe(form).component<QToolButton>(u"LoopButton");
    loop->click();
    ASSERT_TRUE(model.toggleDown(kLoopButton));
    model.setToggleDown(kLoopButton, false);
    ASSERT_FALSE(loop->isChecked());
}

TEST(LayoutTest, SweepsAcrossTheGrid) {
    TInterfaceForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
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
            probe(form).component<TBrevCheckText>(QStringLiteral("%1%2CheckText").arg(row).arg(5));
        ASSERT_TRUE(flag->Value()) << row;
        auto* neighbour =
            probe(form).component<TBrevCheckText>(QStringLiteral("%1%2CheckText").arg(row).arg(6));
        ASSERT_FALSE(neighbour->Value()) << row;
    }
    ASSERT_EQ(probe(form).component<TBrevNumber>(u"Divider5Number")->Value(), 2);

    // Along the mute row with the right button, across the separators, from slot 15 to 1.
    for (int i = 0; i < 16; ++i)
        probe(form)
            .component<TBrevCheckText>(QStringLiteral("Mute%1CheckText").arg(i))
            ->SetValue(true);
    QTest::mousePress(window, Qt::RightButton, {}, QPoint(610, 208));
    for (int x = 610; x >= 130; x -= 5)
        QTest::mouseMove(window, QPoint(x, 208));
    QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(130, 208));
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(probe(form)
                      .component<TBrevCheckText>(QStringLiteral("Mute%1CheckText").arg(i))
                      ->Value(),
                  i == 0);
}

TEST(LayoutTest, ArrowsAndTogglesShowOnAnyBackground) {
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
                contrasting += std::abs(qGray(glyph.pixel(x, y)) - qGray(background.rgb())) > 128;
        }
        ASSERT_TRUE(contrasting >= 5) << background.name().toStdString();
    }

    auto* loop = probe(form).component<QToolButton>(u"LoopButton");
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
    ASSERT_TRUE(up - down > 30)
        << (QStringLiteral("up %1, down %2").arg(up).arg(down)).toStdString();
}
