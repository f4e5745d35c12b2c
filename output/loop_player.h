// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/loop_layout.h"
#include "base/debug_assert.h"
#include "output/event_set.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace brev {

constexpr unsigned kDeviceRate = 44100;
// One region of the output buffer per slot.
constexpr unsigned kRegionCount = kSlotCount;

// The whole-loop output buffer as the audio thread reads it. A frame is stored as one 32-bit
// word holding its 4 bytes (left sample, right sample, little-endian) so that a slot written
// while another plays never tears a frame and never races in the memory model.
struct LoopBuffer {
    explicit LoopBuffer(std::uint32_t frameCount);
    // A buffer that signals the events of another: a loop that takes over from it while it plays
    // keeps the handles a notification thread waits on.
    LoopBuffer(std::uint32_t frameCount, std::shared_ptr<EventSet> sharedEvents);

    std::uint32_t frameCount;
    std::unique_ptr<std::atomic<std::uint32_t>[]> frames;
    std::array<std::uint32_t, kRegionCount> regionStarts{};
    std::shared_ptr<EventSet> eventSet; // shared on the GUI thread and by a loop's preparation
    EventSet& events;

    // Copies whole frames from PCM bytes; frames past the buffer's end are not touched.
    void write(std::uint32_t firstFrame, const unsigned char* bytes, std::uint32_t frames) noexcept;
    std::uint32_t frame(std::uint32_t index) const noexcept {
        BREV_ASSERT(index < frameCount);
        return frames[index].load(std::memory_order_relaxed);
    }
};

// What a refill came to.
enum class Refill {
    InTime,       // written before playback reached the region
    Late,         // refused, or (rarely) overtaken: the region may sound mixed in this pass
    NoSuchRegion, // the region index lies outside the loop; nothing was written
    Replaced      // the player has taken the offered loop, so this one is no longer read
};

// What an outside clock (the JACK transport, MIDI clock) asks of one period.
struct Follow {
    bool rolling = false; // the clock plays
    double beats = -1;    // beats since the song's start at the period's first frame; < 0: unknown
    double bpm = 0;       // the clock's tempo; 0: none, the loop keeps its own
    double seconds = 0;   // the clock's time at the first frame, used without beats
    // How far the loop may be off the clock's place before it jumps there rather than catching
    // up: more for a clock with jitter.
    double slackSeconds = 0.02;
};

// Whether a clock's figures can be followed: all numbers, and none so large that a place in the
// loop is lost in it. They come from another program, which may publish anything.
bool followable(const Follow& follow) noexcept;

// Where the last period read the loop, for an output that sends clock from it: the first frame
// read position_ (32.32), each further frame step more, within a loop of loopFrames.
struct PeriodTrace {
    std::uint64_t start = 0;
    std::uint64_t step = 0;
    unsigned played = 0;
    std::uint32_t loopFrames = 0;
};

// Plays a LoopBuffer into a device's periods. The GUI thread sets the buffer and sends commands;
// the audio thread calls render(). Everything between them is atomics: render() never allocates,
// locks or waits. Its one system call is the slot event: a non-blocking write() of 8 bytes to an
// eventfd (EventSet::signal), at most 16 per pass, which the notification thread waits on. It
// never blocks (a full counter drops the signal), but it is the one place render() enters the
// kernel.
//
// Event k is signalled once per pass, a period ahead of region k's start: at the end of the
// period after which the start lies within the largest period yet. Its refill (region k + 1) can
// then be written completely before any frame of that region is read, however long the periods
// are; a refill that comes later than that is refused rather than heard half old, half new.
class LoopPlayer {
public:
    LoopPlayer() = default;
    LoopPlayer(const LoopPlayer&) = delete;
    LoopPlayer& operator=(const LoopPlayer&) = delete;

    // GUI thread. Publishes the buffer (or none), stops playback, resets the rate to the device
    // rate, and returns only when the audio thread can no longer be reading the previous buffer.
    void setLoop(const LoopBuffer* loop) noexcept;
    // Starts at frame 0. passes = 0 plays until stopped; otherwise playback ends by itself after
    // that many passes through the buffer.
    void play(std::uint32_t passes) noexcept;
    void stop() noexcept;
    bool isPlaying() const noexcept;
    // Clamped to 100 ... 200000 Hz; the buffer is stepped through at hz / 44100 frames per
    // device frame.
    void setRate(std::uint32_t hz) noexcept;
    std::uint32_t rate() const noexcept { return rate_.load(std::memory_order_relaxed); }

    // GUI thread. Offers a loop to take the place of the playing one where a pass ends, at the
    // start of the new one's pass (following a clock, at the same pace through the bar); the
    // notification thread keeps its events when next shares them. The caller keeps next alive until
    // playingLoop() is next, withdrawLoop() returned true, or setLoop() returned.
    void offerLoop(const LoopBuffer* next) noexcept;
    // GUI thread. True when the offer was taken back before the audio thread took it; false
    // when there was none, or the audio thread has taken it and playingLoop() is it. An offer the
    // audio thread is taking is waited for, a few of its instructions.
    bool withdrawLoop() noexcept;
    // GUI thread. The buffer the audio thread reads: once it is the offered one, the previous one
    // is no longer read and may be freed.
    const LoopBuffer* playingLoop() const noexcept { return loop_.load(); }

    // GUI thread. Writes frames of a slot into its region of loop, the buffer given to setLoop.
    // While playing, a region is written only between the signal of the event before it and the
    // moment the read position reaches it, so that each pass plays one rendering of it. Late
    // when the refill came too late: nothing was written, or (rarely) the read position
    // overtook the write. Replaced when loop is no longer the one read: refill playingLoop().
    // The offered loop's region 0, read first where it takes over, is refilled as the playing
    // loop's would be.
    Refill refill(LoopBuffer& loop, unsigned region, const unsigned char* bytes,
                  std::uint32_t frames) noexcept;

    // The device's frame rate, where it is not 44100 Hz; set before the device runs.
    void setDeviceRate(std::uint32_t hz) noexcept;

    // Audio thread. Fills frames stereo frames (interleaved 16-bit) and returns how many of them
    // were played from the buffer; those come first, silence follows.
    unsigned render(std::int16_t* out, unsigned frames) noexcept;
    // The same, but started, stopped, placed and paced by an outside clock: while played and
    // rolling, the loop (one bar of 4 beats) sits where the clock's beats put it, at the
    // clock's tempo by varispeed; without beats, at its own tempo from the clock's time. A
    // small drift is pulled in by the pace, a larger one (a relocation) jumps. Figures that are
    // not followable() leave the loop on its own clock, as render() plays it.
    unsigned renderFollowing(std::int16_t* out, unsigned frames, const Follow& follow) noexcept;
    // Audio thread: the period rendered last.
    const PeriodTrace& lastPeriod() const noexcept { return trace_; }

private:
    enum Mode : std::uint64_t { Stopped = 0, Playing = 1 };
    void send(Mode mode, std::uint32_t passes) noexcept;
    void applyCommand(std::uint64_t command) noexcept;
    void signalEventsBefore(const LoopBuffer& loop, std::uint64_t horizon) noexcept;
    void enterRegion(unsigned region) noexcept;
    // What every period starts and ends with, inside the busy mark: applies the pending command
    // and takes the buffer; then silences what was not played.
    const LoopBuffer* beginPeriod() noexcept;
    unsigned endPeriod(std::int16_t* out, unsigned frames, unsigned played) noexcept;
    void locate(const LoopBuffer& loop, std::uint64_t position) noexcept;
    std::uint64_t ownStep() const noexcept;
    unsigned renderFrames(const LoopBuffer& loop, std::int16_t* out, unsigned frames,
                          std::uint64_t step) noexcept;
    // A pass has ended; false when it was the last, and playback has ended with it.
    bool countPass() noexcept;
    void wrap() noexcept;
    bool refillOpen(unsigned region) const noexcept;
    // At a pass's start: the offered loop, if any, becomes the one read, at the
    // same place in the bar; returns the loop read from here on and rescales step to it.
    const LoopBuffer& takeOfferedLoop(const LoopBuffer& loop, std::uint64_t& step) noexcept;

    // GUI -> audio. seq_cst on loop_ and busy_: setLoop's store-then-check and render's
    // mark-then-load must not be reordered, or setLoop could miss a render still reading.
    // The store also publishes the buffer's frameCount, regionStarts and events, which stay
    // unchanged while it is set; only its frames change, each one atomically.
    std::atomic<const LoopBuffer*> loop_{nullptr};
    std::atomic<bool> busy_{false};
    // GUI -> audio: the loop offered to follow the playing one. The GUI stores it with release
    // after its frames, regionStarts and frameCount are complete; the audio thread claims it
    // with an acquire compare-exchange, so it reads them whole, and empties it once it has
    // switched. The GUI takes it back by compare-exchange too, so exactly one side owns the
    // decision, and an offer not taken stays for the GUI.
    std::atomic<const LoopBuffer*> next_{nullptr};
    // serial (32 bits) | mode (8 bits) | passes (24 bits); release by the GUI, acquire by render.
    std::atomic<std::uint64_t> command_{0};
    std::atomic<std::uint32_t> rate_{kDeviceRate}; // relaxed: a value on its own, read per period
    std::atomic<std::uint32_t> deviceRate_{kDeviceRate}; // relaxed, the same
    // audio -> GUI: serial of the command whose playback ended by itself (release/acquire).
    std::atomic<std::uint32_t> finishedSerial_{0};
    // audio -> GUI: region k may be refilled. Set when the event before it is signalled, cleared
    // when the read position reaches it. Relaxed, with a seq_cst fence on either side (see
    // enterRegion and refill): a refill that still sees its region open after writing it is
    // seen whole by the reads of that region.
    std::array<std::atomic<bool>, kRegionCount> refillOpen_{};

    // GUI thread only.
    std::uint64_t lastCommand_ = 0;

    // Audio thread only.
    std::uint32_t appliedSerial_ = 0;
    bool playing_ = false;
    std::uint32_t passLimit_ = 0;
    std::uint32_t passesDone_ = 0;
    std::uint64_t position_ = 0;    // frames, 32.32 fixed point, within the current pass
    unsigned readRegion_ = 0;       // the region position_ lies in
    unsigned nextEvent_ = 0;        // the next region whose event is due
    unsigned eventPassesAhead_ = 0; // ... in this pass (0), the next (1); 2 once the next is done
    unsigned largestPeriod_ = 0;    // device frames: how far ahead events are signalled
    bool following_ = false;        // the last period followed a rolling outside clock
    double clockBar_ = 0;           // following, the clock's bar that position_ lies in
    PeriodTrace trace_;
};

} // namespace brev
