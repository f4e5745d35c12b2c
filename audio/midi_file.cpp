// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/midi_file.h"

#include "base/debug_assert.h"

#include <algorithm>
#include <vector>

namespace brev {

namespace {

struct TimedEvent {
    std::uint32_t tick;
    std::string bytes;
};

void appendBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The variable-length quantity of delta times: seven bits a byte, the high bit set on all
// but the last.
void appendVariableLength(std::string& out, std::uint32_t value) {
    std::string reversed(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        reversed += static_cast<char>(0x80 | (value & 0x7F));
    out.append(reversed.rbegin(), reversed.rend());
}

std::string channelEvent(std::uint8_t status, const MidiNote& note, std::uint8_t velocity) {
    return {static_cast<char>(status | (note.channel & 0x0F)), static_cast<char>(note.key & 0x7F),
            static_cast<char>(velocity & 0x7F)};
}

} // namespace

std::string midiFileOfNotes(std::uint16_t ticksPerQuarter, std::uint32_t microsPerQuarter,
                            std::span<const MidiNote> notes, std::uint32_t endTick) {
    BREV_ASSERT(microsPerQuarter >= 1 && microsPerQuarter <= kMaxMicrosPerQuarter);
    std::vector<TimedEvent> events;
    std::string tempo("\xFF\x51\x03", 3);
    appendBigEndian(tempo, microsPerQuarter, 3);
    events.push_back({0, tempo});
    // 4/4, a click every quarter, eight 32nds to the quarter.
    events.push_back({0, std::string("\xFF\x58\x04\x04\x02\x18\x08", 7)});
    // Note-offs sort before note-ons of the same tick, so a note ending where the next begins
    // never cuts it.
    for (const MidiNote& note : notes) {
        events.push_back({note.endTick, channelEvent(0x80, note, 0)});
        endTick = std::max(endTick, note.endTick);
    }
    for (const MidiNote& note : notes)
        events.push_back({note.startTick, channelEvent(0x90, note, note.velocity)});
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
    events.push_back({endTick, std::string("\xFF\x2F\x00", 3)});

    std::string track;
    std::uint32_t now = 0;
    for (const TimedEvent& event : events) {
        appendVariableLength(track, event.tick - now);
        track += event.bytes;
        now = event.tick;
    }

    std::string file("MThd", 4);
    appendBigEndian(file, 6, 4);
    appendBigEndian(file, 0, 2); // format 0
    appendBigEndian(file, 1, 2); // one track
    appendBigEndian(file, ticksPerQuarter, 2);
    file.append("MTrk", 4);
    appendBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
    return file + track;
}

} // namespace brev
