// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plugin/bar_supply.h"

#include <array>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace brev {

// What the host keeps of the player, by key: "loop" (the loop file), "pattern1" … "pattern8"
// (pattern files), "pattern-text1" … (their texts, so a song plays on without the files) and
// the read-only "status". Each change that alters the sound hands a new recipe to the supply. A
// file that cannot be read keeps what plays and its name (the song loses nothing), and says why
// in the status and on stderr until it is set again. Hosts set and read state from threads of
// their own, never the audio thread; a load runs on the thread that sets it.
class PlayerSettings {
public:
    explicit PlayerSettings(BarSupply& supply) : supply_(supply) {}

    // A restore sets a pattern's text before its file (the text keys are declared first and
    // sort first, the orders the plugin formats restore in): the text saved with the song is
    // what plays then, not whatever the file holds now. A file set on its own is read again. No
    // file (empty, or a folder) changes nothing: states saved without that file hold one.
    void set(std::string_view key, const std::string& value);
    std::string get(std::string_view key) const;

private:
    struct Pattern {
        std::string file;
        std::optional<std::string> text;
        bool restoring = false;
    };
    void setLoop(const std::string& file);
    void setPatternFile(std::string_view key, Pattern& pattern, const std::string& file);
    void tell(std::string_view key, std::string problem);
    void supplyRecipe();

    BarSupply& supply_;
    mutable std::mutex mutex_;
    std::string loopFile_;
    std::shared_ptr<const LoadedAudio> loop_;
    std::array<Pattern, kPatternCount> patterns_;
    std::map<std::string, std::string, std::less<>> problems_; // by key
};

} // namespace brev
