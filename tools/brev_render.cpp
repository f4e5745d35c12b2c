// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brev-render: applies a pattern to a loop and writes the rendered loop, as the editor's save
// command does, without a window.

#include "audio/audio_export.h"
#include "audio/audio_import.h"
#include "audio/segment_store.h"
#include "audio/twave.h"
#include "base/interrupt_cleanup.h"
#include "base/program_info.h"
#include "editor/core/bar_renderer.h"
#include "editor/core/kit_export.h"
#include "editor/core/pattern_file.h"
#include "editor/core/tempo_table.h"
#include "tools/play.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <locale>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using brev::Error;

constexpr const char* kUsage =
    "Usage:\n"
    "  brev-render [--pattern FILE.brev] [--swing N] [--fade-samples N] [--cutting-angle N]\n"
    "              [--deckstop-ramp N] [--inner-fades on|off] [--log-fades on|off]\n"
    "              [--table OUT.html] [--strict] [--bpm N] [--pitch N]\n"
    "              INPUT OUTPUT.wav|OUTPUT.flac\n"
    "  brev-render [same pattern options] [--table OUT.html] [--strict] --kit DIR INPUT\n"
    "  brev-render [same pattern options] [--strict] --play [--passes N] [--sync jack|midi]\n"
    "              [--keep-pitch on|off] INPUT\n"
    "  brev-render --help | --version\n"
    "\n"
    "Cuts INPUT into 16 segments, applies the pattern (without --pattern: the pattern of a new\n"
    "window) and writes the rendered loop, fitted to INPUT's length, as OUTPUT: FLAC when its\n"
    "name ends in .flac, WAV when it ends in .wav. Inner and log fades are as the pattern was\n"
    "saved (on without --pattern) unless --inner-fades or --log-fades says otherwise.\n"
    "INPUT may be any audio file the editor opens (WAV, FLAC, AIFF, Ogg, MP3 ...); anything but\n"
    "16-bit stereo 44100 Hz PCM WAV (24-bit, float, mono, 48000 Hz ...) is converted to that,\n"
    "and a line on stderr says so; --strict accepts only 16-bit stereo 44100 Hz PCM WAV.\n"
    "--kit writes the rendered loop as a kit into DIR (created when missing), NAME being INPUT's\n"
    "name without extension, '_' for what would break a line of NAME.sfz, cut to DIR's name\n"
    "limit: NAME-01.wav ... NAME-16.wav, the slots as they sound in the loop;\n"
    "NAME.wav, the loop with its slot starts as cue points, a loop and its tempo; NAME.sfz, slot\n"
    "N on key 35 + N; NAME.mid, one bar with a note per slot.\n"
    "--bpm N (20 to 400, two decimals at most) stretches the loop from its own tempo (one bar,\n"
    "as the tempo table gives it) to N BPM, and --pitch N (-12 to 12) shifts it by N semitones,\n"
    "before it is cut; the output and the table are of the stretched loop.\n"
    "--keep-pitch on (the default) follows the clock's tempo, once it has held for a beat, with\n"
    "the loop stretched to it from the next bar on; off, by rate, which also changes the pitch.\n";

struct Options {
    std::optional<std::string> pattern;
    std::optional<int> swing;
    std::optional<int> fadeSamples;
    std::optional<int> cuttingAngle;
    std::optional<int> deckstopRamp;
    std::optional<bool> innerFades;
    std::optional<bool> logFades;
    std::optional<std::string> table;
    std::optional<std::string> kit;
    bool play = false;
    bool strict = false;
    std::optional<int> passes;
    std::optional<brev::SyncMode> sync;
    std::optional<bool> keepPitch;
    brev::LoopStretch stretch;
    std::vector<std::string> files;
    bool help = false;
    bool version = false;
};

// A usage mistake: reported with a pointer to --help.
class UsageError : public Error {
public:
    using Error::Error;
};

int parseNumber(std::string_view option, const std::string& text, int minimum, int maximum) {
    size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < minimum || value > maximum) {
        throw UsageError(std::string(option) + " needs a whole number from " +
                         std::to_string(minimum) + " to " + std::to_string(maximum) + ", not \"" +
                         text + "\"");
    }
    return static_cast<int>(value);
}

// A tempo in BPM with at most two decimals, in hundredths.
int parseTempo(std::string_view option, const std::string& text) {
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto digits = [](const std::string& part) {
        return part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!whole.empty() && whole.size() <= 3 && fraction.size() <= 2 && digits(whole) &&
        digits(fraction) && (point == std::string::npos || !fraction.empty())) {
        fraction.resize(2, '0');
        const int centi = std::stoi(whole) * 100 + std::stoi(fraction);
        if (centi >= brev::kMinTargetCentiBpm && centi <= brev::kMaxTargetCentiBpm)
            return centi;
    }
    throw UsageError(std::string(option) + " needs a tempo from " +
                     std::to_string(brev::kMinTargetCentiBpm / 100) + " to " +
                     std::to_string(brev::kMaxTargetCentiBpm / 100) +
                     " BPM with two decimals at most, not \"" + text + "\"");
}

bool parseSwitch(std::string_view option, const std::string& text) {
    if (text == "on") {
        return true;
    }
    if (text == "off") {
        return false;
    }
    throw UsageError(std::string(option) + " needs on or off, not \"" + text + "\"");
}

// The range of a control, so an option accepts exactly what the editor's control holds.
std::pair<int, int> rangeOf(std::string_view control) {
    const brev::ControlInfo* info = brev::findControl(control);
    return {info->minimum, info->maximum};
}

Options parseArguments(int argc, char** argv) {
    Options options;
    std::vector<std::string> args(argv + 1, argv + argc);
    bool filesOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (filesOnly || arg.size() < 2 || arg[0] != '-') {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            filesOnly = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "--play") {
            options.play = true;
            continue;
        }
        if (arg == "--strict") {
            options.strict = true;
            continue;
        }
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError(arg + " needs a value");
            }
            return args[++i];
        };
        auto number = [&](std::string_view control) {
            auto [minimum, maximum] = rangeOf(control);
            return parseNumber(arg, value(), minimum, maximum);
        };
        if (arg == "--pattern") {
            options.pattern = value();
        } else if (arg == "--swing") {
            options.swing = number(brev::kSwingNumber);
        } else if (arg == "--fade-samples") {
            options.fadeSamples = number(brev::kFadeSamplesNumber);
        } else if (arg == "--cutting-angle") {
            options.cuttingAngle = number(brev::kCuttingAngleNumber);
        } else if (arg == "--deckstop-ramp") {
            options.deckstopRamp = number(brev::kDeckstopRampNumber);
        } else if (arg == "--inner-fades") {
            options.innerFades = parseSwitch(arg, value());
        } else if (arg == "--log-fades") {
            options.logFades = parseSwitch(arg, value());
        } else if (arg == "--table") {
            options.table = value();
        } else if (arg == "--kit") {
            options.kit = value();
        } else if (arg == "--bpm") {
            options.stretch.targetCentiBpm = parseTempo(arg, value());
        } else if (arg == "--pitch") {
            options.stretch.pitchSemitones =
                parseNumber(arg, value(), -brev::kMaxPitchSemitones, brev::kMaxPitchSemitones);
        } else if (arg == "--passes") {
            options.passes = parseNumber(arg, value(), 1, 1000000);
        } else if (arg == "--keep-pitch") {
            options.keepPitch = parseSwitch(arg, value());
        } else if (arg == "--sync") {
            const std::string mode = value();
            options.sync = brev::parseSyncMode(mode);
            if (!options.sync || *options.sync == brev::SyncMode::Off)
                throw UsageError("--sync needs jack or midi, not \"" + mode + "\"");
        } else {
            throw UsageError("Unknown option " + arg);
        }
    }
    if (options.help || options.version) {
        return options;
    }
    if (options.play) {
        if (options.kit) {
            throw UsageError("--kit and --play do not go together");
        }
        if (options.files.size() != 1) {
            throw UsageError("--play takes one file: INPUT");
        }
    } else {
        if (options.passes || options.sync || options.keepPitch) {
            throw UsageError(std::string(options.passes ? "--passes"
                                         : options.sync ? "--sync"
                                                        : "--keep-pitch") +
                             " works only with --play");
        }
        if (options.kit && options.files.size() != 1) {
            throw UsageError("--kit takes one file: INPUT");
        }
        if (!options.kit && options.files.size() != 2) {
            throw UsageError("Give INPUT and OUTPUT.wav or OUTPUT.flac");
        }
        if (!options.kit && !brev::hasSaveExtension(options.files[1])) {
            throw UsageError("Cannot write " + options.files[1] +
                             ": OUTPUT must end in .wav (WAV) or .flac (FLAC)");
        }
    }
    return options;
}

// The pattern of a new window, then the file's values, then the options on top.
void buildPattern(const Options& options, brev::LoopDocument& document) {
    brev::PatternModel& pattern = document.pattern();
    document.setSwitch(brev::kInnerFadesButton, true);
    document.setSwitch(brev::kLogFadesButton, true);
    if (options.pattern) {
        // The editor reads a missing file as an empty pattern; here a mistyped name would
        // silently render the default pattern, so it is refused.
        std::error_code ec;
        if (!std::filesystem::exists(*options.pattern, ec)) {
            throw Error("Pattern file not found: " + *options.pattern);
        }
        brev::readPatternFile(pattern, *options.pattern, brev::PatternSwitches::FromFile);
    }
    if (options.swing) {
        document.setSwing(*options.swing);
    }
    if (options.fadeSamples) {
        pattern.SetNumberValue(brev::kFadeSamplesNumber, *options.fadeSamples);
    }
    if (options.cuttingAngle) {
        pattern.SetNumberValue(brev::kCuttingAngleNumber, *options.cuttingAngle);
    }
    if (options.deckstopRamp) {
        pattern.SetNumberValue(brev::kDeckstopRampNumber, *options.deckstopRamp);
    }
    if (options.innerFades) {
        document.setSwitch(brev::kInnerFadesButton, *options.innerFades);
    }
    if (options.logFades) {
        document.setSwitch(brev::kLogFadesButton, *options.logFades);
    }
}

// Loads INPUT as the editor does, converting another format unless --strict forbids it.
brev::LoadedAudio readInput(const Options& options) {
    const std::string& input = options.files[0];
    if (options.strict) {
        BrevWave::TWave source;
        source.LoadFromFile(input);
        return {std::move(source), {}};
    }
    brev::LoadedAudio loaded = brev::loadAudioFile(input);
    if (!loaded.convertedFrom.empty())
        std::fprintf(stderr, "%s: converted to 44100 Hz, 16-bit, stereo (from %s)\n", input.c_str(),
                     loaded.convertedFrom.c_str());
    return loaded;
}

// The pattern from the options, and INPUT stretched to --bpm and --pitch and cut at its swing.
void loadDocument(const Options& options, brev::LoopDocument& document) {
    buildPattern(options, document);
    document.setTarget(options.stretch);
    // The window plays a loop it cannot stretch at its own tempo; a render fails instead.
    if (std::string problem = document.load(readInput(options), {options.files[0], {}});
        !problem.empty())
        throw Error(problem);
}

// The decimal separator of the user's locale, as the editor writes it; "." when the
// environment names no usable locale.
std::string userDecimalSeparator() {
    try {
        return std::string(1, std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point());
    } catch (const std::exception&) {
        return ".";
    }
}

// The tempo table of the loaded loop, with INPUT as given as its file name.
void writeTableIfAsked(const Options& options, const brev::PatternAccess& pattern,
                       const brev::SegmentStore& store) {
    if (options.table) {
        brev::writeTempoTable(*options.table,
                              brev::tempoTableInput(store, pattern.NumberValue(brev::kSwingNumber),
                                                    options.files[0], userDecimalSeparator()));
    }
}

// The table comes last: a run that fails leaves no page that looks like a result.
void renderToFile(const Options& options) {
    brev::BarRenderer renderer;
    loadDocument(options, renderer.document());
    renderer.renderSlots();
    if (options.kit)
        brev::writeKit(*options.kit, brev::kitName(options.files[0], *options.kit),
                       renderer.store());
    else
        brev::saveAudioFile(renderer.bar(), options.files[1]);
    writeTableIfAsked(options, renderer.document().pattern(), renderer.store());
}

void playThroughOutput(const Options& options) {
    brev::playLoop([&](brev::LoopDocument& document) { loadDocument(options, document); },
                   static_cast<unsigned>(options.passes.value_or(1)),
                   options.sync.value_or(brev::SyncMode::Off), options.keepPitch.value_or(true));
}

int run(const Options& options) {
    // A save of hundreds of MB takes a while; stopped meanwhile, it leaves no temporary.
    brev::removeRecordedFilesOnInterrupt();
    if (options.play) {
        playThroughOutput(options);
    } else {
        renderToFile(options);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        Options options = parseArguments(argc, argv);
        if (options.help) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (options.version) {
            std::puts(brev::versionLine("brev-render").c_str());
            return 0;
        }
        return run(options);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s\nRun brev-render --help for the usage.\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
