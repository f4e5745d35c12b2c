// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/window_builder.h"

#include "controls/brev_check_text.h"
#include "controls/brev_led.h"
#include "controls/brev_number.h"
#include "controls/brev_pulse_button.h"
#include "editor/ui/arrow_button.h"
#include "editor/ui/control_registry.h"
#include "editor/ui/interface_layout.h"
#include "editor/ui/status_panel.h"
#include "editor/ui/waveform_strip.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolButton>

// The icons live in a static library: their resource must be registered by hand.
static void registerIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace brev {

namespace {

const QColor kGrey(0x80, 0x80, 0x80);
const QColor kSilver(0xc0, 0xc0, 0xc0);

QIcon svgIcon(const QString& path) {
    QSvgRenderer renderer(path);
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void setColours(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setLook(QWidget& window) {
    window.setObjectName(QStringLiteral("InterfaceForm"));
    window.setWindowTitle(QStringLiteral("BREV Edit"));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(kClientWidth, kClientHeight);
    QFont small = window.font();
    small.setPixelSize(11);
    window.setFont(small);
    setColours(&window, kGrey, Qt::black);
}

QWidget* buildControl(const WidgetEntry& entry, QWidget* host, WindowWidgets& widgets) {
    switch (entry.kind) {
    case WidgetKind::Label: {
        auto* label = new QLabel(entry.caption, host);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // The captions were fitted to a narrower bitmap font than today's desktop fonts.
        QFont condensed = label->font();
        condensed.setStretch(QFont::SemiCondensed);
        label->setFont(condensed);
        setColours(label, kSilver, Qt::black);
        return label;
    }
    case WidgetKind::Separator: {
        auto* line = new QFrame(host);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    case WidgetKind::Number: {
        auto* number = new TBrevNumber(host);
        // Value before the bounds, as a stored description applies them: each is clamped
        // against the bounds in force when it is set.
        number->SetValue(entry.defaultValue);
        number->SetDefault(entry.defaultValue);
        number->SetMin(entry.minimum);
        number->SetMax(entry.maximum);
        return number;
    }
    case WidgetKind::CheckText: {
        auto* check = new TBrevCheckText(host);
        check->setText(entry.caption);
        return check;
    }
    case WidgetKind::PulseButton: {
        auto* pulse = new TBrevPulseButton(host);
        pulse->setText(entry.caption);
        return pulse;
    }
    case WidgetKind::LED:
        return new TBrevLED(host);
    case WidgetKind::ToolButton:
    case WidgetKind::ToolToggle: {
        auto* button = new QToolButton(host);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(16, 16));
        button->setIcon(svgIcon(entry.icon));
        button->setCheckable(entry.kind == WidgetKind::ToolToggle);
        return button;
    }
    case WidgetKind::ComboBox: {
        widgets.drivers = new QComboBox(host);
        widgets.drivers->setEditable(false);
        widgets.drivers->setFocusPolicy(Qt::ClickFocus);
        setColours(widgets.drivers, Qt::black, Qt::white);
        return widgets.drivers;
    }
    case WidgetKind::UpArrow:
    case WidgetKind::DownArrow:
        return new ArrowButton(entry.kind == WidgetKind::UpArrow ? ArrowButton::Direction::Up
                                                                 : ArrowButton::Direction::Down,
                               host);
    }
    return nullptr;
}

void buildControls(QWidget& window, WindowWidgets& widgets) {
    auto* toolbar = new QWidget(&window);
    toolbar->setObjectName(QStringLiteral("ButtonPanel"));
    toolbar->setGeometry(0, 0, kClientWidth, kToolbarHeight);
    setColours(toolbar, kSilver, Qt::black);
    // A toggle that is down, or Play while the loop plays, looks pressed in, plain at a glance on
    // the flat toolbar.
    toolbar->setStyleSheet(
        QStringLiteral("QToolButton:checked, QToolButton:pressed { background-color: #7b8fb0; "
                       "border: 1px solid #1f3152; border-radius: 2px; }"));

    for (const WidgetEntry& entry : interfaceLayout()) {
        QWidget* widget = buildControl(entry, entry.inToolbar ? toolbar : &window, widgets);
        widget->setObjectName(entry.name);
        widget->setGeometry(entry.geometry);
        widget->setProperty("Tag", entry.tag);
        if (!entry.hint.isEmpty())
            widget->setToolTip(entry.hint);
    }
}

void buildStatusBar(QWidget& window, WindowWidgets& widgets) {
    auto* bar = new QWidget(&window);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
    setColours(bar, kSilver, Qt::black);
    int x = 0;
    for (const StatusPanelEntry& entry : kStatusPanels) {
        auto* panel = new StatusPanel(QString::fromLatin1(entry.text), bar);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        // The last panel reaches to the bar's right end, as status bar panels do.
        const bool last = &entry == &kStatusPanels[std::size(kStatusPanels) - 1];
        panel->setGeometry(x, 1, (last ? kClientWidth - x : entry.width) - 2, kStatusBarHeight - 1);
        x += entry.width;
        widgets.statusPanels << panel;
    }
}

void buildDialogs(QWidget& window, WindowWidgets& widgets) {
    widgets.colorDialog = new QColorDialog(&window);
    widgets.colorDialog->setObjectName(QStringLiteral("ColorDialog1"));
    widgets.openDialog = new QFileDialog(&window);
    widgets.openDialog->setObjectName(QStringLiteral("OpenDialog1"));
    widgets.openDialog->setAcceptMode(QFileDialog::AcceptOpen);
    widgets.openDialog->setFileMode(QFileDialog::ExistingFile);
    widgets.saveDialog = new QFileDialog(&window);
    widgets.saveDialog->setObjectName(QStringLiteral("SaveDialog1"));
    // Asks before overwriting (the default) and can be resized; it has no read-only box.
    widgets.saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    widgets.saveDialog->setSizeGripEnabled(true);
}

} // namespace

WindowWidgets buildWindow(QWidget& window) {
    registerIcons();
    setLook(window);
    WindowWidgets widgets;
    buildControls(window, widgets);
    widgets.waveform = new WaveformStrip(&window);
    widgets.waveform->setGeometry(kWaveformStripGeometry);
    buildStatusBar(window, widgets);
    buildDialogs(window, widgets);
    return widgets;
}

void bindLayoutHandlers(const ControlRegistry& controls, const HandlerReceivers& receivers) {
    for (const WidgetEntry& entry : interfaceLayout()) {
        if (entry.handler)
            entry.handler.connect(controls.find(entry.name), receivers);
    }
}

} // namespace brev
