// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/interface_layout.h"

#include "editor/core/pattern_controls.h"
#include "editor/ui/info_handlers.h"
#include "editor/ui/pattern_tool_handlers.h"
#include "editor/ui/window_commands.h"

#include <QHash>
#include <string>

namespace brev {

namespace {

struct ToolbarButton {
    const char* name;
    const char* hint;
    bool toggle;
    HandlerBinding handler;
    const char* icon;
};

constexpr HandlerBinding kNoHandler{};

constexpr ToolbarButton kToolbar[] = {
    {"PasteFromClipBoardButton", "Paste wave from clipboard", false,
     BREV_HANDLER(WindowCommands, PasteFromClipBoardButtonClick), "paste"},
    {"CopyToClipBoardButton", "Copy wave to clipboard", false,
     BREV_HANDLER(WindowCommands, CopyToClipBoardButtonClick), "copy"},
    {"LoadFromFileButton", "Load wave from file", false,
     BREV_HANDLER(WindowCommands, LoadFromFileButtonClick), "load_wave"},
    {"SaveToFileButton", "Save wave to file", false,
     BREV_HANDLER(WindowCommands, SaveToFileButtonClick), "save_wave"},
    {"RevertButton", "Revert", false, BREV_HANDLER(WindowCommands, RevertButtonClick), "revert"},
    {"PlayButton", "Playback", false, BREV_HANDLER(WindowCommands, PlayButtonClick), "play"},
    {"StopButton", "Stop playback", false, BREV_HANDLER(WindowCommands, StopButtonClick), "stop"},
    {"LoopButton", "Enable loop playback", true, BREV_HANDLER(WindowCommands, LoopButtonClick),
     "loop"},
    {"TableButton", "Generate table", false, BREV_HANDLER(InfoHandlers, TableButtonClick), "table"},
    {"InfoButton", "Info", false, BREV_HANDLER(InfoHandlers, InfoButtonClick), "info"},
    {"SmartFadesButton", "Enable SmartFades", true,
     BREV_HANDLER(WindowCommands, SmartFadesButtonClick), "smart_fades"},
    {"RandomPingPongButton", "Pingpong randomize", false,
     BREV_HANDLER(PatternToolHandlers, RandomPingPongButtonClick), "random_pingpong"},
    {"CenterAllButton", "Center all", false,
     BREV_HANDLER(PatternToolHandlers, CenterAllButtonClick), "center_all"},
    {"F22KButton", "22050 Hz playback rate", false, BREV_HANDLER(WindowCommands, F22KButtonClick),
     "rate_22k"},
    {"F44KButton", "44100 Hz playback rate", false, BREV_HANDLER(WindowCommands, F44KButtonClick),
     "rate_44k"},
    {"F88KButton", "88200 Hz playback rate", false, BREV_HANDLER(WindowCommands, F88KButtonClick),
     "rate_88k"},
    {"HelpButton", "Display help", false, BREV_HANDLER(InfoHandlers, HelpButtonClick), "help"},
    {"HintsButton", "Enable hints", true, BREV_HANDLER(WindowCommands, HintsButtonClick), "hints"},
    {"InnerFadesButton", "Enable inner fades", true,
     BREV_HANDLER(WindowCommands, InnerFadesButtonClick), "inner_fades"},
    {"BackgroundColorButton", "Set background color", false,
     BREV_HANDLER(WindowCommands, BackgroundColorButtonClick), "background_color"},
    {"LoadPatternButton", "Load pattern", false,
     BREV_HANDLER(PatternToolHandlers, LoadPatternButtonClick), "load_pattern"},
    {"SavePatternButton", "Save pattern", false,
     BREV_HANDLER(PatternToolHandlers, SavePatternButtonClick), "save_pattern"},
    {"LogFadesButton", "Logarithmic fades", true, BREV_HANDLER(WindowCommands, LogFadesButtonClick),
     "log_fades"},
};

constexpr int kColumnX[kSlotCount] = {96,  128, 160, 192, 232, 264, 296, 328,
                                      368, 400, 432, 464, 504, 536, 568, 600};
constexpr int kSeparatorX[] = {224, 360, 496};

// A caption of "%d" stands for the slot index.
struct SlotRow {
    int y;
    const char* labelName; // empty: the row has no label
    const char* labelCaption;
    std::string_view pattern;
    WidgetKind kind;
    const char* caption;
    HandlerBinding handler; // pulse buttons only: numbers and flags take theirs from the core table
};

constexpr char kPhaseCaption[] = "\u00f8";

constexpr SlotRow kSlotRows[] = {
    {32, "SegmentStaticText", " Segment", kSegmentNumber, WidgetKind::Number, "", kNoHandler},
    {56, "RepeatsStaticText", " Repeats", kRepeatsNumber, WidgetKind::Number, "", kNoHandler},
    {80, "VolumeStaticText", " Volume (dB)", kVolumeNumber, WidgetKind::Number, "", kNoHandler},
    {104, "StaccatoStaticText", " Staccato", kStaccatoCheckText, WidgetKind::CheckText, "S",
     kNoHandler},
    {128, "DividerStaticText", " Divider (1/X)", kDividerNumber, WidgetKind::Number, "",
     kNoHandler},
    {152, "StaticText1", " Deckstop", kDeckstopCheckText, WidgetKind::CheckText, "D", kNoHandler},
    {176, "ReverseStaticText", " Reverse", kReverseCheckText, WidgetKind::CheckText, "R",
     kNoHandler},
    {200, "MuteStaticText", " Mute", kMuteCheckText, WidgetKind::CheckText, "M", kNoHandler},
    {224, "MuteLeftStaticText", " Mute left", kMuteLeftCheckText, WidgetKind::CheckText, "1",
     kNoHandler},
    {248, "MuteRightStaticText", " Mute right", kMuteRightCheckText, WidgetKind::CheckText, "2",
     kNoHandler},
    {272, "FlipStaticText", " Flip channels", kFlipCheckText, WidgetKind::CheckText, "F",
     kNoHandler},
    {296, "PhaseInvertStaticText", " Phase invert", kPhaseCheckText, WidgetKind::CheckText,
     kPhaseCaption, kNoHandler},
    {320, "LockStaticText", " Lock segment", kLockCheckText, WidgetKind::CheckText, "L",
     kNoHandler},
    {344, "PoolExcludeStaticText", " Pool exclude", kExcludeCheckText, WidgetKind::CheckText, "%d",
     kNoHandler},
    {368, "FadeInStaticText", " Fade in", kFadeInCheckText, WidgetKind::CheckText, "<", kNoHandler},
    {392, "FadeOutStaticText", " Fade out", kFadeOutCheckText, WidgetKind::CheckText, ">",
     kNoHandler},
    {416, "CloneNextStaticText", " Clone next", "CloneNext%dButton", WidgetKind::PulseButton, "->",
     BREV_HANDLER(PatternToolHandlers, CloneNextButtonPulsed)},
    {440, "ClonePreviousStaticText", " Clone previous", "ClonePrevious%dButton",
     WidgetKind::PulseButton, "<-", BREV_HANDLER(PatternToolHandlers, ClonePreviousButtonPulsed)},
    {472, "", "", "LED%d", WidgetKind::LED, "", kNoHandler},
};

// The gang column's extra controls; the four-button rows are listed separately below.
struct GangControl {
    int y;
    int x;
    const char* name;
    WidgetKind kind;
    const char* caption;
    const char* hint;
    HandlerBinding handler; // pulse buttons only: numbers take theirs from the core table
};

#define BREV_GANG_HANDLER(Method) BREV_HANDLER(PatternToolHandlers, Method)

constexpr GangControl kGangControls[] = {
    {32, 640, "GangSegmentNumber", WidgetKind::Number, "", "Change all segments", kNoHandler},
    {32, 672, "GangRandomSegmentButton", WidgetKind::PulseButton, "R", "Randomize segments",
     BREV_GANG_HANDLER(GangRandomSegmentButtonPulsed)},
    {32, 704, "GangDefaultSegmentButton", WidgetKind::PulseButton, "D", "Default segments",
     BREV_GANG_HANDLER(GangDefaultSegmentButtonPulsed)},
    {56, 640, "GangRepeatsNumber", WidgetKind::Number, "", "Change all repeats", kNoHandler},
    {56, 672, "GangRepeatsNoneButton", WidgetKind::PulseButton, "N", "Repeats none",
     BREV_GANG_HANDLER(GangRepeatsNoneButtonPulsed)},
    {80, 640, "GangVolumeNumber", WidgetKind::Number, "", "Change all volumes", kNoHandler},
    {80, 672, "GangVolumeNoneButton", WidgetKind::PulseButton, "N", "All volume 0 dB",
     BREV_GANG_HANDLER(GangVolumeNoneButtonPulsed)},
    {128, 640, "GangStaccatoDividerNumber", WidgetKind::Number, "", "Change all dividers",
     kNoHandler},
    {128, 672, "GangStaccatoRandomDividerButton", WidgetKind::PulseButton, "R",
     "Randomize dividers", BREV_GANG_HANDLER(GangStaccatoRandomDividerButtonPulsed)},
    {128, 704, "GangStaccatoRandomInputNumber", WidgetKind::Number, "", "Maximum random add value",
     kNoHandler},
};

// "Gang<stem>AllButton" "A", "…NoneButton" "N", "…InverseButton" "I", "…RandomButton" "R".
struct GangButton {
    const char* hint; // null: no button of that kind
    HandlerBinding handler;
};

struct GangRow {
    int y;
    const char* stem;
    GangButton buttons[4];
};

constexpr GangRow kGangRows[] = {
    {104,
     "Staccato",
     {{"Staccato all", BREV_GANG_HANDLER(GangStaccatoAllButtonPulsed)},
      {"Staccato none", BREV_GANG_HANDLER(GangStaccatoNoneButtonPulsed)},
      {"Invert staccato", BREV_GANG_HANDLER(GangStaccatoInverseButtonPulsed)},
      {"Randomize staccato", BREV_GANG_HANDLER(GangStaccatoRandomButtonPulsed)}}},
    {152,
     "Deckstop",
     {{"Deckstop all", BREV_GANG_HANDLER(GangDeckstopAllButtonPulsed)},
      {"Deckstop none", BREV_GANG_HANDLER(GangDeckstopNoneButtonPulsed)},
      {"Invert deckstops", BREV_GANG_HANDLER(GangDeckstopInverseButtonPulsed)},
      {"Randomize deckstops", BREV_GANG_HANDLER(GangDeckstopRandomButtonPulsed)}}},
    {176,
     "Reverse",
     {{"Reverse all", BREV_GANG_HANDLER(GangReverseAllButtonPulsed)},
      {"Reverse none", BREV_GANG_HANDLER(GangReverseNoneButtonPulsed)},
      {"Invert reverse", BREV_GANG_HANDLER(GangReverseInverseButtonPulsed)},
      {"Randomize reverse", BREV_GANG_HANDLER(GangReverseRandomButtonPulsed)}}},
    {200,
     "Mute",
     {{"Mute al", BREV_GANG_HANDLER(GangMuteAllButtonPulsed)},
      {"Mute none", BREV_GANG_HANDLER(GangMuteNoneButtonPulsed)},
      {"Invert mutes", BREV_GANG_HANDLER(GangMuteInverseButtonPulsed)},
      {"Randomize mutes", BREV_GANG_HANDLER(GangMuteRandomButtonPulsed)}}},
    {224,
     "MuteLeft",
     {{"Mute left all", BREV_GANG_HANDLER(GangMuteLeftAllButtonPulsed)},
      {"Mute left none", BREV_GANG_HANDLER(GangMuteLeftNoneButtonPulsed)},
      {"Invert mute left", BREV_GANG_HANDLER(GangMuteLeftInverseButtonPulsed)},
      {"Randomize mute left", BREV_GANG_HANDLER(GangMuteLeftRandomButtonPulsed)}}},
    {248,
     "MuteRight",
     {{"Mute right all", BREV_GANG_HANDLER(GangMuteRightAllButtonPulsed)},
      {"Mute right none", BREV_GANG_HANDLER(GangMuteRightNoneButtonPulsed)},
      {"Invert mute right", BREV_GANG_HANDLER(GangMuteRightInverseButtonPulsed)},
      {"Randomize mute right", BREV_GANG_HANDLER(GangMuteRightRandomButtonPulsed)}}},
    {272,
     "Flip",
     {{"Flip all", BREV_GANG_HANDLER(GangFlipAllButtonPulsed)},
      {"Flip none", BREV_GANG_HANDLER(GangFlipNoneButtonPulsed)},
      {"Invert flip", BREV_GANG_HANDLER(GangFlipInverseButtonPulsed)},
      {"Randomize flip", BREV_GANG_HANDLER(GangFlipRandomButtonPulsed)}}},
    {296,
     "Invert",
     {{"Phase invert all", BREV_GANG_HANDLER(GangInvertAllButtonPulsed)},
      {"Phase invert none", BREV_GANG_HANDLER(GangInvertNoneButtonPulsed)},
      {"Invert phase invert", BREV_GANG_HANDLER(GangInvertInverseButtonPulsed)},
      {"Randomize phase invert", BREV_GANG_HANDLER(GangInvertRandomButtonPulsed)}}},
    {320,
     "Lock",
     {{"Lock all segments", BREV_GANG_HANDLER(GangLockAllButtonPulsed)},
      {"Lock no segments", BREV_GANG_HANDLER(GangLockNoneButtonPulsed)},
      {"Invert lock segments", BREV_GANG_HANDLER(GangLockInverseButtonPulsed)},
      {}}},
    {344,
     "Exclude",
     {{"Pool exclude all", BREV_GANG_HANDLER(GangExcludeAllButtonPulsed)},
      {"Pool exclude none", BREV_GANG_HANDLER(GangExcludeNoneButtonPulsed)},
      {"Invert pool excludes", BREV_GANG_HANDLER(GangExcludeInverseButtonPulsed)},
      {}}},
    {368,
     "FadeIn",
     {{"Fade in all", BREV_GANG_HANDLER(GangFadeInAllButtonPulsed)},
      {"Fade in none", BREV_GANG_HANDLER(GangFadeInNoneButtonPulsed)},
      {"Invert fade in", BREV_GANG_HANDLER(GangFadeInInverseButtonPulsed)},
      {}}},
    {392,
     "FadeOut",
     {{"Fade out all", BREV_GANG_HANDLER(GangFadeOutAllButtonPulsed)},
      {"Fade out none", BREV_GANG_HANDLER(GangFadeOutNoneButtonPulsed)},
      {"Invert fade out", BREV_GANG_HANDLER(GangFadeOutInverseButtonPulsed)},
      {}}},
};

#undef BREV_GANG_HANDLER

constexpr const char* kGangButtonKinds[4][2] = {
    {"AllButton", "A"}, {"NoneButton", "N"}, {"InverseButton", "I"}, {"RandomButton", "R"}};
constexpr int kGangButtonX[4] = {640, 672, 704, 736};

struct GlobalNumber {
    int y;
    const char* labelName;
    const char* labelCaption;
    std::string_view name;
    const char* hint;
};

constexpr GlobalNumber kGlobalNumbers[] = {
    {416, "FadeSamplesStaticText", " Fade samples", kFadeSamplesNumber,
     "Amount of samples in a fade"},
    {440, "SwingStaticText", " Swing %", kSwingNumber, "Swing percentage"},
    {464, "CuttingAngleStaticText", " Cutting angle", kCuttingAngleNumber,
     "Cutting angle (in degrees)"},
    {488, "DeckstopRampStaticText", " Deckstop ramp", kDeckstopRampNumber, "Deckstop steepness"},
};

WidgetEntry makeEntry(const QString& name, WidgetKind kind, const QRect& geometry) {
    WidgetEntry entry;
    entry.name = name;
    entry.kind = kind;
    entry.geometry = geometry;
    return entry;
}

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

// Range and default come from the pattern's own table of controls.
WidgetEntry patternControl(const std::string& name, WidgetKind kind, QRect geometry) {
    const ControlInfo* info = findControl(name);
    Q_ASSERT(info);
    WidgetEntry entry = makeEntry(text(name), kind, geometry);
    entry.minimum = info->minimum;
    entry.maximum = info->maximum;
    entry.defaultValue = info->defaultValue;
    entry.tag = info->slot < 0 ? 0 : info->slot;
    return entry;
}

WidgetEntry label(const char* name, const char* caption, int x, int y) {
    WidgetEntry entry =
        makeEntry(QString::fromLatin1(name), WidgetKind::Label, QRect(x, y, 81, 16));
    entry.caption = QString::fromUtf8(caption);
    return entry;
}

WidgetEntry pulseButton(const QString& name, int x, int y, const char* caption) {
    WidgetEntry entry = makeEntry(name, WidgetKind::PulseButton, QRect(x, y, 25, 16));
    entry.caption = QString::fromUtf8(caption);
    return entry;
}

QList<WidgetEntry> buildLayout() {
    QList<WidgetEntry> layout;

    for (int k = 0; k < int(std::size(kToolbar)); ++k) {
        const ToolbarButton& button = kToolbar[k];
        WidgetEntry entry =
            makeEntry(QString::fromLatin1(button.name),
                      button.toggle ? WidgetKind::ToolToggle : WidgetKind::ToolButton,
                      QRect(2 + 24 * k, 2, 23, 22));
        entry.hint = QString::fromLatin1(button.hint);
        entry.handler = button.handler;
        entry.icon = QStringLiteral(":/icons/%1.svg").arg(QLatin1String(button.icon));
        entry.inToolbar = true;
        layout << entry;
    }
    WidgetEntry drivers =
        makeEntry(QStringLiteral("DriversComboBox"), WidgetKind::ComboBox, QRect(554, 2, 209, 21));
    drivers.hint = QStringLiteral("Choose DirectX driver");
    drivers.handler = BREV_HANDLER(WindowCommands, DriversComboBoxChange);
    drivers.inToolbar = true;
    layout << drivers;

    for (const SlotRow& row : kSlotRows) {
        if (*row.labelName)
            layout << label(row.labelName, row.labelCaption, 8, row.y);
    }
    for (int i = 0; i < int(std::size(kSeparatorX)); ++i) {
        layout << makeEntry(QStringLiteral("Separator%1").arg(i + 1), WidgetKind::Separator,
                            QRect(kSeparatorX[i], 27, 2, 455));
    }

    for (const SlotRow& row : kSlotRows) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const std::string name = slotControlName(row.pattern, slot);
            const int x = kColumnX[slot];
            WidgetEntry entry;
            switch (row.kind) {
            case WidgetKind::Number:
                entry = patternControl(name, row.kind, QRect(x, row.y, 17, 16));
                break;
            case WidgetKind::CheckText:
                entry = patternControl(name, row.kind, QRect(x, row.y, 25, 16));
                break;
            case WidgetKind::PulseButton:
                entry = pulseButton(text(name), x, row.y, row.caption);
                entry.handler = row.handler;
                break;
            default:
                entry = makeEntry(text(name), row.kind, QRect(x, row.y, 25, 8));
                break;
            }
            if (row.kind != WidgetKind::Number) {
                entry.caption = qstrcmp(row.caption, "%d") == 0 ? QString::number(slot)
                                                                : QString::fromUtf8(row.caption);
            }
            entry.tag = slot;
            layout << entry;
        }
    }

    for (const GangControl& control : kGangControls) {
        WidgetEntry entry =
            control.kind == WidgetKind::Number
                ? patternControl(control.name, control.kind, QRect(control.x, control.y, 17, 16))
                : pulseButton(QString::fromLatin1(control.name), control.x, control.y,
                              control.caption);
        if (control.kind == WidgetKind::PulseButton)
            entry.handler = control.handler;
        entry.hint = QString::fromUtf8(control.hint);
        layout << entry;
    }
    for (const GangRow& row : kGangRows) {
        for (int b = 0; b < 4; ++b) {
            const GangButton& button = row.buttons[b];
            if (!button.hint)
                continue;
            const QString name =
                QStringLiteral("Gang%1%2")
                    .arg(QLatin1String(row.stem), QLatin1String(kGangButtonKinds[b][0]));
            WidgetEntry entry = pulseButton(name, kGangButtonX[b], row.y, kGangButtonKinds[b][1]);
            entry.hint = QString::fromUtf8(button.hint);
            entry.handler = button.handler;
            layout << entry;
        }
    }

    for (const GlobalNumber& number : kGlobalNumbers) {
        layout << label(number.labelName, number.labelCaption, 640, number.y);
        WidgetEntry entry = patternControl(std::string(number.name), WidgetKind::Number,
                                           QRect(728, number.y, 25, 16));
        entry.hint = QString::fromUtf8(number.hint);
        layout << entry;
    }

    // Each number gets an up and a down arrow just right of it; the tag is the number's place in
    // the arrow order, which the arrow handlers map back to the number.
    QHash<QString, QRect> numberPlaces;
    for (const WidgetEntry& entry : layout) {
        if (entry.kind == WidgetKind::Number)
            numberPlaces.insert(entry.name, entry.geometry);
    }
    const auto numbers = numberControlsByArrowTag();
    for (int tag = 0; tag < int(numbers.size()); ++tag) {
        const QRect place = numberPlaces.value(text(numbers[tag].name));
        Q_ASSERT(place.isValid());
        WidgetEntry up = makeEntry(QStringLiteral("UpArrow%1").arg(tag), WidgetKind::UpArrow,
                                   QRect(place.right() + 1, place.top(), 10, 8));
        up.caption = QStringLiteral("t");
        up.handler = BREV_HANDLER(PatternToolHandlers, UpArrowClick);
        up.tag = tag;
        WidgetEntry down = makeEntry(QStringLiteral("DownArrow%1").arg(tag), WidgetKind::DownArrow,
                                     QRect(place.right() + 1, place.top() + 9, 10, 8));
        down.caption = QStringLiteral("u");
        down.handler = BREV_HANDLER(PatternToolHandlers, DownArrowClick);
        down.tag = tag;
        layout << up << down;
    }
    return layout;
}

} // namespace

const QList<WidgetEntry>& interfaceLayout() {
    static const QList<WidgetEntry> layout = buildLayout();
    return layout;
}

} // namespace brev
