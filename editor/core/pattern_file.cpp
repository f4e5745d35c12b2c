#include "editor/core/pattern_file.h"

#include "audio/atomic_file.h"
#include "audio/byte_stream.h"
#include "audio/error.h"

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

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

const std::string kSection(kPatternSection);

std::string slotKey(const SlotKey& key, int slot) {
    return key.prefix + std::to_string(slot);
}

bool isNumberControl(std::string_view name) {
    const ControlInfo* control = findControl(name);
    return control != nullptr && control->kind == ControlKind::Number;
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

int readInteger(const CSimpleIniA& ini, const std::string& key, int fallback) {
    const char* text = ini.GetValue(kSection.c_str(), key.c_str(), nullptr);
    if (text == nullptr) {
        return fallback;
    }
    return parseInteger(text).value_or(fallback);
}

void setControl(PatternAccess& pattern, std::string_view control, int value) {
    if (isNumberControl(control)) {
        pattern.SetNumberValue(control, value);
    } else {
        pattern.SetCheckValue(control, value != 0);
    }
}

int controlValue(const PatternAccess& pattern, std::string_view control) {
    if (isNumberControl(control)) {
        return pattern.NumberValue(control);
    }
    return pattern.CheckValue(control) ? 1 : 0;
}

// Case-insensitive keys; "Segment 0=5" without spaces around the equals sign.
void loadText(CSimpleIniA& ini, std::string_view text) {
    ini.SetSpaces(false);
    if (text.empty()) {
        return;
    }
    if (ini.LoadData(text.data(), text.size()) < 0) {
        throw Error("The pattern text could not be parsed");
    }
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
constexpr std::uint64_t kMaxPatternBytes = 1024 * 1024;

// Whole file, or nullopt when it does not exist. Any other failure raises, and so does a file
// too large for a pattern; a FIFO or a device is refused without waiting on it.
std::optional<std::string> readWholeFile(const std::string& fileName, const char* what) {
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

} // namespace

std::string readPatternText(PatternAccess& pattern, std::string_view text) {
    CSimpleIniA ini;
    loadText(ini, text);

    SmartFadesHold hold(pattern);
    // Globals first: a changed gang number runs its gang operation, and the slot keys that
    // follow then overwrite whatever it wrote.
    for (const auto& key : kGlobalKeys) {
        setControl(pattern, key.control, readInteger(ini, key.key, key.fallback));
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        for (int index : kReadOrder) {
            const SlotKey& key = kSlotKeys[index];
            setControl(pattern, slotControlName(key.control, slot),
                       readInteger(ini, slotKey(key, slot), key.fallback));
        }
    }
    return ini.GetValue(kSection.c_str(), "Comment", "");
}

std::string readPatternFile(PatternAccess& pattern, const std::string& fileName) {
    auto text = readWholeFile(fileName, "Unable to read the pattern ");
    return readPatternText(pattern, text ? *text : std::string());
}

std::string writePatternText(const PatternAccess& pattern, std::string_view existing) {
    CSimpleIniA ini;
    loadText(ini, existing);
    auto set = [&](const std::string& key, int value) {
        ini.SetValue(kSection.c_str(), key.c_str(), std::to_string(value).c_str());
    };
    for (int slot = 0; slot < kSlotCount; ++slot) {
        for (const auto& key : kSlotKeys) {
            set(slotKey(key, slot), controlValue(pattern, slotControlName(key.control, slot)));
        }
    }
    for (const auto& key : kGlobalKeys) {
        set(key.key, controlValue(pattern, key.control));
    }
    std::string out;
    if (ini.Save(out) < 0) {
        throw Error("The pattern text could not be built");
    }
    return out;
}

void writePatternFile(const PatternAccess& pattern, const std::string& fileName) {
    auto existing = readWholeFile(fileName, "Unable to save the pattern to ");
    const std::string text = writePatternText(pattern, existing ? *existing : std::string());
    if (const int error = writeFileAtomically(fileName, text))
        throw Error("Unable to save the pattern to " + fileName + "\n" + errorReason(error));
}

} // namespace brev
