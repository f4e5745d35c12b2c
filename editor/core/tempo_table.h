#pragma once

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

// Slot region starts of a loop cut at the given swing, as the playback engine places them.
std::array<std::int64_t, 16> swungOffsets(std::int64_t loopFrames, int swing);

// The whole HTML page, with CR LF line ends.
std::string tempoTablePage(const TempoTableInput& input);

// The fixed file name inside the given temporary directory.
std::string tempoTablePath(const std::string& tempDirectory);

// Writes the page through a temporary file renamed over path; raises brev::Error on failure and
// leaves no partial file behind.
void writeTempoTable(const std::string& path, const TempoTableInput& input);

} // namespace brev
