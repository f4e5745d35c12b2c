// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/segment_store.h"
#include "base/atomic_file.h"

#include <array>
#include <cstdint>
#include <string>

namespace brev {

// What the tempo table is made of, read when the table is asked for.
struct TempoTableInput {
    std::int64_t loopFrames = 0;            // frame count of the loaded loop
    std::array<std::int64_t, 16> offsets{}; // start frame of each slot region
    int swing = 0;                          // the current swing setting, 0 ... 100
    std::string fileName;                   // empty: the loop did not come from a file
    std::string decimalSeparator = ".";     // the user's locale
};

// The inputs as the loaded loop gives them; swing is the current swing setting, which may differ
// from the swing the loop was cut with.
TempoTableInput tempoTableInput(const SegmentStore& store, int swing, std::string fileName = {},
                                std::string decimalSeparator = ".");

// The whole HTML page, with CR LF line ends.
std::string tempoTablePage(const TempoTableInput& input);

// Where the Table button writes the page: its fixed name in this user's private folder, never
// in a folder other users may write. Raises brev::Error when there is no such folder.
std::string tempoTablePath();

// Writes the page through a temporary file renamed over path; raises brev::Error on failure and
// leaves no partial file behind. The page at tempoTablePath() is written FileAccess::OwnerOnly.
void writeTempoTable(const std::string& path, const TempoTableInput& input,
                     FileAccess access = FileAccess::Shared);

} // namespace brev
