// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/settings_binding.h"

#include <QToolButton>

namespace brev {

namespace {

const QString kDriverIndex = QStringLiteral("Driver index");

// The integer settings besides the driver index, in the order they are read and written.
struct IntegerSetting {
    const char* name;
    std::string_view control;
    int defaultValue;
    bool toggle;
};
// clang-format off
const IntegerSetting kControlSettings[] = {
    {"Fade samples",     kFadeSamplesNumber,  100, false},
    {"Swing percentage", kSwingNumber,        0,   false},
    {"Cutting angle",    kCuttingAngleNumber, 0,   false},
    {"Loop",             kLoopButton,         1,   true},
    {"Smart fades",      kSmartFadesButton,   1,   true},
    {"Hints",            "HintsButton",       1,   true},
    {"Inner fades",      kInnerFadesButton,   1,   true},
    {"Log fades",        kLogFadesButton,     1,   true},
};
// clang-format on
const QString kBackgroundColor = QStringLiteral("Background color");
constexpr int kGrey = 0x808080;

// Colours are stored as the Windows colour word: red in the low byte.
QColor fromColorWord(int word) {
    return QColor(word & 0xff, (word >> 8) & 0xff, (word >> 16) & 0xff);
}
int toColorWord(const QColor& colour) {
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

} // namespace

int readWindowSettings(const EditorSettings& settings, const SettingsTargets& targets) {
    const int driverIndex = settings.readInteger(kDriverIndex, 0);
    for (const IntegerSetting& setting : kControlSettings) {
        const int value =
            settings.readInteger(QString::fromLatin1(setting.name), setting.defaultValue);
        if (setting.toggle)
            targets.toggle(setting.control)->setChecked(value != 0);
        else
            targets.pattern.SetNumberValue(setting.control, value);
    }
    setBackgroundColour(targets.window,
                        fromColorWord(settings.readInteger(kBackgroundColor, kGrey)));
    return driverIndex;
}

bool writeWindowSettings(EditorSettings& settings, const SettingsTargets& targets,
                         int driverIndex) {
    bool written = settings.writeInteger(kDriverIndex, driverIndex);
    for (const IntegerSetting& setting : kControlSettings) {
        const QString name = QString::fromLatin1(setting.name);
        const int value = setting.toggle ? (targets.toggle(setting.control)->isChecked() ? 1 : 0)
                                         : targets.pattern.NumberValue(setting.control);
        written = settings.writeInteger(name, value) && written;
    }
    return settings.writeInteger(kBackgroundColor, toColorWord(backgroundColour(targets.window))) &&
           written;
}

QColor backgroundColour(const QWidget& window) {
    return window.palette().color(QPalette::Window);
}

void setBackgroundColour(QWidget& window, const QColor& colour) {
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, colour);
    window.setPalette(colours);
}

} // namespace brev
