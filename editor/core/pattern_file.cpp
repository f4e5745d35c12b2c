// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/pattern_file.h"

#include "base/atomic_file.h"
#include "base/byte_stream.h"
#include "base/error.h"
#include "editor/core/ini_document.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

namespace brev {

namespace {

struct SlotKey {
    const char* prefix; // ends in one space; the slot index follows
    std::string_view control;
    int fallback; // value when the key is missing or not an integer
};

// The order a save writes them in.
const SlotKey kSlotKeys[] = {
    {"Segment ", kSegmentNumber, 0},       {"Repeats ", kRepeatsNumber, 0},
    {"Volume ", kVolumeNumber, 0},         {"Staccato ", kStaccatoCheckText, 0},
    {"Divider ", kDividerNumber, 0},       {"Deckstop ", kDeckstopCheckText, 0},
    {"Reverse ", kReverseCheckText, 0},    {"Mute ", kMuteCheckText, 0},
    {"Mute left ", kMuteLeftCheckText, 0}, {"Mute right ", kMuteRightCheckText, 0},
    {"Flip ", kFlipCheckText, 0},          {"Phase ", kPhaseCheckText, 0},
    {"Lock ", kLockCheckText, 0},          {"Exclude ", kExcludeCheckText, 0},
    {"Fade in ", kFadeInCheckText, 0},     {"Fade out ", kFadeOutCheckText, 0},
};

// A load reads reverse before deckstop, the other way round from the save.
constexpr int kReadOrder[] = {0, 1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15};

struct GlobalKey {
    const char* key;
    std::string_view control;
    int fallback;
};

const GlobalKey kGlobalKeys[] = {
    {"Gang segment", kGangSegmentNumber, 0},
    {"Gang repeats", kGangRepeatsNumber, 0},
    {"Gang volume", kGangVolumeNumber, 0},
    {"Gang staccato divider", kGangStaccatoDividerNumber, 0},
    {"Gang staccato random input", kGangStaccatoRandomInputNumber, 0},
    {"Fade samples", kFadeSamplesNumber, 0},
    {"Swing", kSwingNumber, 0},
    {"Cutting angle", kCuttingAngleNumber, 0},
    {"Deckstop ramp", kDeckstopRampNumber, 50},
};

// Toolbar switches that change how a pattern sounds; written after every specified key.
struct SwitchKey {
    const char* key;
    std::string_view toggle;
};

constexpr SwitchKey kSwitchKeys[] = {
    {"Inner fades", kInnerFadesButton},
    {"Log fades", kLogFadesButton},
};

bool isNumberControl(std::string_view name) {
    const ControlInfo* control = findControl(name);
    return control != nullptr && control->kind == ControlKind::Number;
}

// One key of a pattern file with the control it belongs to, spelt out once for all reads and
// writes.
struct PatternKey {
    std::string key;
    std::string control;
    bool number;
    int fallback;
};

struct PatternKeys {
    std::vector<PatternKey> globals;                       // in kGlobalKeys order
    std::array<std::vector<PatternKey>, kSlotCount> slots; // in kSlotKeys order
};

const PatternKeys& patternKeys() {
    static const PatternKeys keys = [] {
        PatternKeys result;
        for (const auto& key : kGlobalKeys) {
            result.globals.push_back(
                {key.key, std::string(key.control), isNumberControl(key.control), key.fallback});
        }
        for (int slot = 0; slot < kSlotCount; ++slot) {
            for (const auto& key : kSlotKeys) {
                const std::string control = slotControlName(key.control, slot);
                result.slots[static_cast<size_t>(slot)].push_back(
                    {key.prefix + std::to_string(slot), control, isNumberControl(control),
                     key.fallback});
            }
        }
        return result;
    }();
    return keys;
}

// A decimal integer, optionally signed and quoted; anything else has no value. Integers beyond
// the 32-bit range saturate, so the control clamps them like any other large number.
std::optional<int> parseInteger(std::string_view text) {
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int>(
        std::clamp(value, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

// The key's value from the text; its default when it is missing or not an integer.
void readKey(PatternAccess& pattern, const IniDocument& ini, const IniDocument::Section* section,
             const PatternKey& key) {
    const char* text = ini.value(section, key.key);
    const int value = text ? parseInteger(text).value_or(key.fallback) : key.fallback;
    if (key.number) {
        pattern.SetNumberValue(key.control, value);
    } else {
        pattern.SetCheckValue(key.control, value != 0);
    }
}

void writeKey(const PatternAccess& pattern, IniDocument& ini, IniDocument::Section& section,
              const PatternKey& key) {
    const int value =
        key.number ? pattern.NumberValue(key.control) : (pattern.CheckValue(key.control) ? 1 : 0);
    ini.setValue(section, key.key, std::to_string(value));
}

// Restores the smart-fades toggle however the load ends.
class SmartFadesHold {
public:
    explicit SmartFadesHold(PatternAccess& pattern)
        : pattern_(pattern), down_(pattern.toggleDown(kSmartFadesButton)) {
        pattern_.setToggleDown(kSmartFadesButton, false);
    }
    ~SmartFadesHold() { pattern_.setToggleDown(kSmartFadesButton, down_); }
    SmartFadesHold(const SmartFadesHold&) = delete;
    SmartFadesHold& operator=(const SmartFadesHold&) = delete;

private:
    PatternAccess& pattern_;
    bool down_;
};

// Far beyond any pattern (a full one is about 5 KB), small enough to read whole at once.
constexpr std::uint64_t kMaxPatternBytes = std::uint64_t{1} << 20;

} // namespace

std::string readPatternText(PatternAccess& pattern, std::string_view text,
                            PatternSwitches switches) {
    const IniDocument ini(text);
    const IniDocument::Section* section = ini.section(kPatternSection);
    const PatternKeys& keys = patternKeys();

    SmartFadesHold hold(pattern);
    // Globals first: a changed gang number runs its gang operation, and the slot keys that
    // follow then overwrite whatever it wrote.
    for (const auto& key : keys.globals) {
        readKey(pattern, ini, section, key);
    }
    for (const auto& slotKeys : keys.slots) {
        for (int index : kReadOrder) {
            readKey(pattern, ini, section, slotKeys[static_cast<size_t>(index)]);
        }
    }
    if (switches == PatternSwitches::FromFile) {
        for (const auto& key : kSwitchKeys) {
            const char* value = ini.value(section, key.key);
            if (const std::optional<int> down = value ? parseInteger(value) : std::nullopt)
                pattern.setToggleDown(key.toggle, *down != 0);
        }
    }
    const char* comment = ini.value(section, "Comment");
    return comment ? comment : "";
}

std::optional<std::string> readPatternFileText(const std::string& fileName, const char* what) {
    FileReader file;
    if (const int error = file.open(fileName)) {
        if (error == ENOENT || error == ENOTDIR) {
            return std::nullopt;
        }
        throw Error(what + fileName + "\n" + errorReason(error));
    }
    if (file.size() > kMaxPatternBytes) {
        throw Error(what + fileName + "\nThe file holds " + std::to_string(file.size()) +
                    " bytes; a pattern file holds at most 1 MB");
    }
    std::string content(static_cast<std::size_t>(file.size()), '\0');
    if (file.read(content.data(), content.size()) != content.size()) {
        throw Error(what + fileName + "\nThe file could not be read");
    }
    return content;
}

std::string readPatternFile(PatternAccess& pattern, const std::string& fileName,
                            PatternSwitches switches) {
    auto text = readPatternFileText(fileName, "Unable to read the pattern ");
    return readPatternText(pattern, text ? *text : std::string(), switches);
}

std::string writePatternText(const PatternAccess& pattern, std::string_view existing) {
    IniDocument ini(existing);
    IniDocument::Section& section = ini.sectionToWrite(kPatternSection);
    const PatternKeys& keys = patternKeys();
    for (const auto& slotKeys : keys.slots) {
        for (const auto& key : slotKeys) {
            writeKey(pattern, ini, section, key);
        }
    }
    for (const auto& key : keys.globals) {
        writeKey(pattern, ini, section, key);
    }
    for (const auto& key : kSwitchKeys) {
        ini.setValue(section, key.key, pattern.toggleDown(key.toggle) ? "1" : "0");
    }
    return ini.text();
}

void writePatternFile(const PatternAccess& pattern, const std::string& fileName) {
    auto existing = readPatternFileText(fileName, "Unable to save the pattern to ");
    const std::string text = writePatternText(pattern, existing ? *existing : std::string());
    if (const int error = writeFileAtomically(fileName, text))
        throw Error("Unable to save the pattern to " + fileName + "\n" + errorReason(error));
}

} // namespace brev
