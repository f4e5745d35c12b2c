// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/interface_form.h"

#include "audio/clipboard_port.h"
#include "controls/brev_check_text.h"
#include "controls/brev_led.h"
#include "controls/brev_number.h"
#include "controls/brev_pulse_button.h"
#include "editor/ui/arrow_button.h"
#include "editor/ui/drop_target.h"
#include "editor/ui/editor_shortcuts.h"
#include "editor/ui/info_handlers.h"
#include "editor/ui/interface_layout.h"
#include "editor/ui/kit_command.h"
#include "editor/ui/loop_drag_handle.h"
#include "editor/ui/pattern_history.h"
#include "editor/ui/pattern_tool_handlers.h"
#include "editor/ui/sync_choice.h"
#include "editor/ui/tempo_controls.h"
#include "editor/ui/waveform_strip.h"
#include "output/notify_thread.h"
#include "output/tds.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
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

} // namespace

TInterfaceForm::TInterfaceForm(QWidget* parent) : QWidget(parent) {
    registerIcons();
    audio_ =
        new AudioController(this, {[this](int index) { BufferEventHandler(index); },
                                   [this](const QString& text) { statusPanel(0)->setText(text); },
                                   [this](int panel) { UpdateStatusBar(panel); },
                                   [this] {
                                       syncChoice_->watch();
                                       UpdateStatusBar(1);
                                   }});
    setObjectName(QStringLiteral("InterfaceForm"));
    setWindowTitle(QStringLiteral("BREV Edit"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setColours(this, kGrey, Qt::black);

    buildControls();
    waveform_ = new WaveformStrip(this);
    waveform_->setGeometry(kWaveformStripGeometry);
    buildStatusBar();
    buildDialogs();
    new KitCommand(*this);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (!child->objectName().isEmpty())
            components_.insert(child->objectName().toLower(), child);
    }
    // A bare window's toggles are up until the settings are read.
    for (std::string_view toggle :
         {kInnerFadesButton, kLogFadesButton, kSmartFadesButton, kLoopButton})
        pattern_.setToggleDown(toggle, false);
    views_.bind([this](QStringView name) { return findComponent(name); });
    history_ = new PatternHistory(*this, pattern_, [this](const std::bitset<kSlotCount>& altered) {
        valuesRestored(altered);
    });
    bindHandlers();
    addEditorShortcuts(*this);
    new DropTarget(*this);
    new LoopDragHandle(*this, statusPanel(2));
    tempo_ = new TempoControls(*this);
    ownDialogs_ = std::make_unique<QtEditorDialogs>(*this, openDialog_, saveDialog_, colorDialog_);
    dialogs_ = ownDialogs_.get();
    // Keys are seen before the controls get them, and hints can be held back.
    qApp->installEventFilter(this);

    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TInterfaceForm::buildControls() {
    auto* toolbar = new QWidget(this);
    toolbar->setObjectName(QStringLiteral("ButtonPanel"));
    toolbar->setGeometry(0, 0, kClientWidth, kToolbarHeight);
    setColours(toolbar, kSilver, Qt::black);
    // A toggle that is down looks pressed in, plain at a glance on the flat toolbar.
    toolbar->setStyleSheet(QStringLiteral(
        "QToolButton:checked { background-color: #7b8fb0; border: 1px solid #1f3152; "
        "border-radius: 2px; }"));

    for (const WidgetEntry& entry : interfaceLayout()) {
        QWidget* host = entry.inToolbar ? toolbar : this;
        QWidget* widget = nullptr;
        switch (entry.kind) {
        case WidgetKind::Label: {
            auto* label = new QLabel(entry.caption, host);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            // The captions were fitted to a narrower bitmap font than today's desktop fonts.
            QFont condensed = label->font();
            condensed.setStretch(QFont::SemiCondensed);
            label->setFont(condensed);
            setColours(label, kSilver, Qt::black);
            widget = label;
            break;
        }
        case WidgetKind::Separator: {
            auto* line = new QFrame(host);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            widget = line;
            break;
        }
        case WidgetKind::Number: {
            auto* number = new TBrevNumber(host);
            // Value before the bounds, as a stored description applies them: each is clamped
            // against the bounds in force when it is set.
            number->SetValue(entry.defaultValue);
            number->SetDefault(entry.defaultValue);
            number->SetMin(entry.minimum);
            number->SetMax(entry.maximum);
            widget = number;
            break;
        }
        case WidgetKind::CheckText: {
            auto* check = new TBrevCheckText(host);
            check->setText(entry.caption);
            widget = check;
            break;
        }
        case WidgetKind::PulseButton: {
            auto* pulse = new TBrevPulseButton(host);
            pulse->setText(entry.caption);
            widget = pulse;
            break;
        }
        case WidgetKind::LED:
            widget = new TBrevLED(host);
            break;
        case WidgetKind::ToolButton:
        case WidgetKind::ToolToggle: {
            auto* button = new QToolButton(host);
            button->setAutoRaise(true);
            button->setFocusPolicy(Qt::NoFocus);
            button->setIconSize(QSize(16, 16));
            button->setIcon(svgIcon(entry.icon));
            button->setCheckable(entry.kind == WidgetKind::ToolToggle);
            widget = button;
            break;
        }
        case WidgetKind::ComboBox: {
            drivers_ = new QComboBox(host);
            drivers_->setEditable(false);
            drivers_->setFocusPolicy(Qt::ClickFocus);
            setColours(drivers_, Qt::black, Qt::white);
            widget = drivers_;
            break;
        }
        case WidgetKind::UpArrow:
        case WidgetKind::DownArrow:
            widget =
                new ArrowButton(entry.kind == WidgetKind::UpArrow ? ArrowButton::Direction::Up
                                                                  : ArrowButton::Direction::Down,
                                host);
            break;
        }
        widget->setObjectName(entry.name);
        widget->setGeometry(entry.geometry);
        widget->setProperty("Tag", entry.tag);
        if (!entry.hint.isEmpty())
            widget->setToolTip(entry.hint);
    }
}

void TInterfaceForm::buildStatusBar() {
    auto* bar = new QWidget(this);
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
        statusPanels_ << panel;
    }
}

void TInterfaceForm::buildDialogs() {
    colorDialog_ = new QColorDialog(this);
    colorDialog_->setObjectName(QStringLiteral("ColorDialog1"));
    openDialog_ = new QFileDialog(this);
    openDialog_->setObjectName(QStringLiteral("OpenDialog1"));
    openDialog_->setAcceptMode(QFileDialog::AcceptOpen);
    openDialog_->setFileMode(QFileDialog::ExistingFile);
    saveDialog_ = new QFileDialog(this);
    saveDialog_->setObjectName(QStringLiteral("SaveDialog1"));
    // Asks before overwriting (the default) and can be resized; it has no read-only box.
    saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
    saveDialog_->setSizeGripEnabled(true);
}

QWidget* TInterfaceForm::findComponent(QStringView name) const {
    return components_.value(name.toString().toLower());
}

void TInterfaceForm::bindHandlers() {
    const HandlerReceivers receivers{this, new PatternToolHandlers(this), new InfoHandlers(this),
                                     history_};
    for (const WidgetEntry& entry : interfaceLayout()) {
        if (entry.handler)
            entry.handler.connect(findComponent(entry.name), receivers);
    }
    pattern_.setHandlers([this](const ControlInfo& control, int value) {
        history_->openStep();
        patternChanged(control, value);
        history_->closeStep();
    });
}

void TInterfaceForm::mouseMoveEvent(QMouseEvent* event) {
    TBrevCheckText::sweepAt(this, event->globalPosition().toPoint(), event->buttons());
}

} // namespace brev
