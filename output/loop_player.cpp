// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/loop_player.h"

#include "base/debug_assert.h"
#include "base/little_endian.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>

namespace brev {

namespace {

constexpr std::uint32_t kMinRate = 100;
constexpr std::uint32_t kMaxRate = 200000;

std::uint32_t serialOf(std::uint64_t command) {
    return static_cast<std::uint32_t>(command >> 32);
}
std::uint32_t modeOf(std::uint64_t command) {
    return (command >> 24) & 0xFF;
}
std::uint32_t passesOf(std::uint64_t command) {
    return command & 0xFFFFFF;
}

std::int16_t leftOf(std::uint32_t frame) {
    return static_cast<std::int16_t>(frame & 0xFFFF);
}
std::int16_t rightOf(std::uint32_t frame) {
    return static_cast<std::int16_t>(frame >> 16);
}

std::uint32_t regionEnd(const LoopBuffer& loop, unsigned region) {
    return region + 1 < kRegionCount ? loop.regionStarts[region + 1] : loop.frameCount;
}

// Marks the audio thread busy for one period: setLoop waits while the mark is set. One audio
// thread at a time renders a player, so the mark is never set twice.
class BusyMark {
public:
    explicit BusyMark(std::atomic<bool>& busy) noexcept : busy_(busy) {
        [[maybe_unused]] const bool wasBusy = busy_.exchange(true);
        BREV_ASSERT(!wasBusy);
    }
    ~BusyMark() { busy_.store(false); }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    std::atomic<bool>& busy_;
};

std::int16_t blend(std::int16_t a, std::int16_t b, std::uint32_t fraction) {
    std::int64_t delta = static_cast<std::int64_t>(b) - a;
    return static_cast<std::int16_t>(a + ((delta * fraction) >> 32));
}

} // namespace

LoopBuffer::LoopBuffer(std::uint32_t count) : LoopBuffer(count, std::make_shared<EventSet>()) {}

LoopBuffer::LoopBuffer(std::uint32_t count, std::shared_ptr<EventSet> sharedEvents)
    : frameCount(count), frames(new std::atomic<std::uint32_t>[count]),
      eventSet(std::move(sharedEvents)), events(*eventSet) {
    for (std::uint32_t i = 0; i < count; ++i)
        frames[i].store(0, std::memory_order_relaxed);
}

void LoopBuffer::write(std::uint32_t firstFrame, const unsigned char* bytes,
                       std::uint32_t count) noexcept {
    if (firstFrame >= frameCount)
        return;
    if (count > frameCount - firstFrame)
        count = frameCount - firstFrame;
    std::atomic<std::uint32_t>* target = frames.get() + firstFrame;
    for (std::uint32_t i = 0; i < count; ++i, bytes += kFrameBytes)
        target[i].store(readLe32(bytes), std::memory_order_relaxed);
}

void LoopPlayer::send(Mode mode, std::uint32_t passes) noexcept {
    std::uint32_t serial = serialOf(lastCommand_) + 1;
    if (passes > 0xFFFFFF)
        passes = 0xFFFFFF;
    lastCommand_ = std::uint64_t{serial} << 32 | std::uint64_t{mode} << 24 | passes;
    command_.store(lastCommand_, std::memory_order_release);
}

void LoopPlayer::setLoop(const LoopBuffer* loop) noexcept {
    // The regions follow each other inside the buffer: a read position finds its region by them.
    BREV_ASSERT(loop == nullptr ||
                (std::is_sorted(loop->regionStarts.begin(), loop->regionStarts.end()) &&
                 loop->regionStarts.back() <= loop->frameCount));
    // An offer not yet taken is void. Relaxed: an exchange always sees the latest value, so the
    // audio thread cannot take the offer after this; one it took before switches only while
    // loop_ is still the buffer it followed, which the store below ends, and the wait below covers
    // the period that tries.
    next_.exchange(nullptr, std::memory_order_relaxed);
    send(Stopped, 0);
    rate_.store(kDeviceRate, std::memory_order_relaxed);
    loop_.store(loop);
    // A render that marked itself busy before the store above may still hold the old buffer;
    // one that marks itself later sees the new one. Renders are short, so this spin is too.
    while (busy_.load())
        std::this_thread::yield();
}

namespace {

// Holds the offer's place while the audio thread decides on it; no buffer has its address.
alignas(LoopBuffer) const unsigned char claimedMark = 0;
const LoopBuffer* const kClaimed = reinterpret_cast<const LoopBuffer*>(&claimedMark);

} // namespace

void LoopPlayer::offerLoop(const LoopBuffer* next) noexcept {
    // Release: the buffer's contents, written before, are seen by the acquire that claims it.
    next_.store(next, std::memory_order_release);
}

bool LoopPlayer::withdrawLoop() noexcept {
    for (;;) {
        // Acquire: the audio thread's outcome comes after its switch of loop_, so an empty offer
        // means playingLoop() shows the loop it took; and after its reads of a loop it gave
        // back, which the caller may then free.
        const LoopBuffer* offered = next_.load(std::memory_order_acquire);
        if (offered == nullptr)
            return false;
        // A claim is decided within a few instructions of the audio thread, which never waits.
        if (offered == kClaimed)
            std::this_thread::yield();
        else if (next_.compare_exchange_weak(offered, nullptr, std::memory_order_acquire))
            return true;
    }
}

const LoopBuffer& LoopPlayer::takeOfferedLoop(const LoopBuffer& loop,
                                              std::uint64_t& step) noexcept {
    // Claimed, the offer can no longer be taken back, and is emptied only once it is taken.
    // Acquire: pairs with offerLoop's release, so the offered buffer is read whole.
    const LoopBuffer* next = next_.load(std::memory_order_relaxed);
    if (next == nullptr || !next_.compare_exchange_strong(next, kClaimed, std::memory_order_acquire,
                                                          std::memory_order_relaxed))
        return loop;
    // seq_cst, as every access to loop_: fails when setLoop has replaced the loop meanwhile (it
    // then waits for this period to end). Succeeding, it releases this thread's reads of the old
    // buffer to the GUI, which frees it once playingLoop() shows the new one; nothing below
    // reads the old one again, so its length is read first. Following a clock, the bar keeps the
    // clock's length, so the new loop is read at the same place in the bar and the same pace
    // through it; on its own clock a loop plays at its own pace, the new one from its start.
    const double scale = following_ ? static_cast<double>(next->frameCount) / loop.frameCount : 1.0;
    const LoopBuffer* expected = &loop;
    const bool switched = next->frameCount > 0 && loop_.compare_exchange_strong(expected, next);
    // Release, after the switch: the GUI that sees the offer emptied sees the new loop playing.
    // One not taken stands again to be taken back, unless setLoop has voided it meanwhile.
    const LoopBuffer* claimed = kClaimed;
    next_.compare_exchange_strong(claimed, switched ? nullptr : next, std::memory_order_release,
                                  std::memory_order_relaxed);
    if (!switched)
        return loop;
    position_ = static_cast<std::uint64_t>(static_cast<double>(position_) * scale);
    step = static_cast<std::uint64_t>(static_cast<double>(step) * scale);
    trace_.start = static_cast<std::uint64_t>(static_cast<double>(trace_.start) * scale);
    trace_.step = step;
    trace_.loopFrames = next->frameCount;
    // The old loop's regions and events mean nothing in the new one: start its events afresh.
    locate(*next, position_);
    return *next;
}

void LoopPlayer::setRate(std::uint32_t hz) noexcept {
    hz = hz < kMinRate ? kMinRate : hz > kMaxRate ? kMaxRate : hz;
    rate_.store(hz, std::memory_order_relaxed);
}

void LoopPlayer::setDeviceRate(std::uint32_t hz) noexcept {
    deviceRate_.store(hz == 0 ? kDeviceRate : hz, std::memory_order_relaxed);
}

void LoopPlayer::play(std::uint32_t passes) noexcept {
    send(Playing, passes);
}

void LoopPlayer::stop() noexcept {
    send(Stopped, 0);
}

bool LoopPlayer::isPlaying() const noexcept {
    return modeOf(lastCommand_) == Playing &&
           finishedSerial_.load(std::memory_order_acquire) != serialOf(lastCommand_);
}

Refill LoopPlayer::refill(LoopBuffer& loop, unsigned region, const unsigned char* bytes,
                          std::uint32_t frames) noexcept {
    if (region >= kRegionCount)
        return Refill::NoSuchRegion;
    // The loop offered is read from the next pass's start, its first region first, which is
    // refilled on the last region's event as the playing loop's would be. Relaxed: the offer is
    // this thread's own. A loop left for the offered one is never read again.
    const bool offeredStart = region == 0 && &loop == next_.load(std::memory_order_relaxed);
    if (!offeredStart && &loop != playingLoop())
        return Refill::Replaced;
    // Stopped, nothing reads the buffer (a play command starts over at frame 0).
    const bool playing = isPlaying();
    if (playing && !refillOpen(region))
        return Refill::Late;
    loop.write(loop.regionStarts[region], bytes, frames);
    const bool inTime = !playing || refillOpen(region);
    // seq_cst, after the fence in refillOpen: a switch after this load comes where the pass ends.
    if (!offeredStart && &loop != playingLoop())
        return Refill::Replaced;
    return inTime ? Refill::InTime : Refill::Late;
}

bool LoopPlayer::refillOpen(unsigned region) const noexcept {
    // With the fence in enterRegion: if this load still sees the region open, that fence comes
    // after this one in the single total order, so every read of the region that follows it sees
    // the frames written before this fence.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    return refillOpen_[region].load(std::memory_order_relaxed);
}

void LoopPlayer::applyCommand(std::uint64_t command) noexcept {
    appliedSerial_ = serialOf(command);
    playing_ = modeOf(command) == Playing;
    passLimit_ = passesOf(command);
    passesDone_ = 0;
    position_ = 0;
    following_ = false;
    nextEvent_ = 0;
    eventPassesAhead_ = 0;
    for (std::atomic<bool>& open : refillOpen_)
        open.store(false, std::memory_order_relaxed);
    enterRegion(0);
}

void LoopPlayer::enterRegion(unsigned region) noexcept {
    BREV_ASSERT(region < kRegionCount);
    readRegion_ = region;
    refillOpen_[region].store(false, std::memory_order_relaxed);
    // Orders the close before the reads of the region; pairs with the fence in refillOpen().
    std::atomic_thread_fence(std::memory_order_seq_cst);
}

void LoopPlayer::signalEventsBefore(const LoopBuffer& loop, std::uint64_t horizon) noexcept {
    for (;;) {
        const std::uint64_t start =
            loop.regionStarts[nextEvent_] + std::uint64_t{eventPassesAhead_} * loop.frameCount;
        if (start << 32 >= horizon)
            return;
        // Passes that will not be played get no events.
        if (passLimit_ != 0 && passesDone_ + eventPassesAhead_ >= passLimit_)
            return;
        const unsigned next = (nextEvent_ + 1) % kRegionCount;
        // Only a loop shorter than the look-ahead asks for the refill of a region still being
        // read: refuse that one rather than let it be heard half written.
        const bool beingRead =
            next == readRegion_ && (position_ >> 32) < regionEnd(loop, readRegion_);
        if (!beingRead)
            refillOpen_[next].store(true, std::memory_order_relaxed);
        loop.events.signal(nextEvent_);
        nextEvent_ = next;
        if (next == 0)
            ++eventPassesAhead_;
    }
}

bool LoopPlayer::countPass() noexcept {
    ++passesDone_;
    if (passLimit_ == 0 || passesDone_ < passLimit_)
        return true;
    playing_ = false;
    finishedSerial_.store(appliedSerial_, std::memory_order_release);
    return false;
}

void LoopPlayer::wrap() noexcept {
    ++clockBar_;
    // Events of a pass stepped over whole (a huge rate on a tiny loop) are dropped.
    if (eventPassesAhead_ > 0)
        --eventPassesAhead_;
    else
        nextEvent_ = 0;
    enterRegion(0);
}

std::uint64_t LoopPlayer::ownStep() const noexcept {
    return (std::uint64_t{rate_.load(std::memory_order_relaxed)} << 32) /
           deviceRate_.load(std::memory_order_relaxed);
}

const LoopBuffer* LoopPlayer::beginPeriod() noexcept {
    const LoopBuffer* loop = loop_.load();
    std::uint64_t command = command_.load(std::memory_order_acquire);
    if (serialOf(command) != appliedSerial_)
        applyCommand(command);
    return loop;
}

unsigned LoopPlayer::endPeriod(std::int16_t* out, unsigned frames, unsigned played) noexcept {
    if (played < frames)
        std::memset(out + std::size_t{2} * played, 0, sizeof(std::int16_t) * 2 * (frames - played));
    return played;
}

unsigned LoopPlayer::render(std::int16_t* out, unsigned frames) noexcept {
    const BusyMark busy(busy_);
    const LoopBuffer* loop = beginPeriod();
    following_ = false;

    unsigned played = 0;
    if (playing_ && loop != nullptr && loop->frameCount > 0)
        played = renderFrames(*loop, out, frames, ownStep());
    else
        trace_.played = 0;
    return endPeriod(out, frames, played);
}

bool followable(const Follow& follow) noexcept {
    // A million BPM still counts in hundredths within 32 bits.
    return std::isfinite(follow.beats) && std::isfinite(follow.bpm) && follow.bpm < 1e6 &&
           std::isfinite(follow.seconds * kDeviceRate) && std::isfinite(follow.slackSeconds);
}

unsigned LoopPlayer::renderFollowing(std::int16_t* out, unsigned frames,
                                     const Follow& follow) noexcept {
    if (!followable(follow))
        return render(out, frames);
    const BusyMark busy(busy_);
    const LoopBuffer* loop = beginPeriod();

    unsigned played = 0;
    if (playing_ && follow.rolling && loop != nullptr && loop->frameCount > 0) {
        const double count = loop->frameCount;
        const double deviceRate = deviceRate_.load(std::memory_order_relaxed);
        // Loop frames per device frame, and where in the loop this period starts.
        // The loop is one bar of 4 beats: it lasts 240 / bpm seconds at the clock's tempo.
        double speed = follow.bpm > 0 ? follow.bpm * count / (240 * deviceRate)
                                      : static_cast<double>(kDeviceRate) / deviceRate;
        // The clock's place in bars: which bar, and how far into it.
        const double bars =
            follow.beats >= 0 ? follow.beats / 4 : follow.seconds * kDeviceRate / count;
        const double bar = std::floor(bars);
        const double target = (bars - bar) * count;
        speed = std::clamp(speed, double(kMinRate) / deviceRate, double(kMaxRate) / deviceRate);
        double drift =
            (bar - clockBar_) * count + target - static_cast<double>(position_) / 4294967296.0;
        // Beyond the clock's slack it has relocated, jumped, or run periods without us (a server
        // that drops periods does so often at small ones): go there. A jump on into a later bar
        // ends this pass as stepping over the loop's end would; one back, however far, ends
        // none. Within the slack, beyond 1 ms (a transport's whole ticks are a quarter of that),
        // catch up over a quarter of a second, changing the pace by at most 2 %.
        if (!following_ || std::fabs(drift) > follow.slackSeconds * kDeviceRate) {
            if (following_ && bar > clockBar_ && !countPass()) {
                following_ = false;
                trace_.played = 0;
                return endPeriod(out, frames, 0);
            }
            clockBar_ = bar;
            locate(*loop,
                   static_cast<std::uint64_t>(std::clamp(target, 0.0, count - 1) * 4294967296.0));
        } else if (std::fabs(drift) > 0.001 * kDeviceRate)
            speed += std::clamp(drift / (0.25 * deviceRate), -0.02 * speed, 0.02 * speed);
        following_ = true;
        played = renderFrames(*loop, out, frames, static_cast<std::uint64_t>(speed * 4294967296.0));
    } else {
        following_ = false;
        trace_.played = 0;
    }
    return endPeriod(out, frames, played);
}

void LoopPlayer::locate(const LoopBuffer& loop, std::uint64_t position) noexcept {
    position_ = position;
    const std::uint32_t index = static_cast<std::uint32_t>(position >> 32);
    unsigned region = 0;
    while (region + 1 < kRegionCount && index >= loop.regionStarts[region + 1])
        ++region;
    // Refills opened for the old place would land where the new one may read: close them all
    // (the fence in enterRegion orders these stores too). The event of the region now read
    // comes at once, opening the refill of the one after it.
    for (std::atomic<bool>& open : refillOpen_)
        open.store(false, std::memory_order_relaxed);
    nextEvent_ = region;
    eventPassesAhead_ = 0;
    enterRegion(region);
}

unsigned LoopPlayer::renderFrames(const LoopBuffer& first, std::int16_t* out, unsigned frames,
                                  std::uint64_t step) noexcept {
    trace_ = {position_, step, 0, first.frameCount};
    unsigned played = 0;
    const LoopBuffer* current = &first;
    std::uint32_t count = first.frameCount;
    const bool looping = passLimit_ != 1;
    std::uint64_t loopLength = std::uint64_t{count} << 32;
    while (played < frames) {
        const LoopBuffer& loop = *current;
        std::uint32_t index = static_cast<std::uint32_t>(position_ >> 32);
        while (readRegion_ + 1 < kRegionCount && index >= loop.regionStarts[readRegion_ + 1])
            enterRegion(readRegion_ + 1);

        std::uint32_t a = loop.frame(index);
        std::uint32_t fraction = static_cast<std::uint32_t>(position_);
        if (fraction == 0) {
            out[std::size_t{2} * played] = leftOf(a);
            out[std::size_t{2} * played + 1] = rightOf(a);
        } else {
            std::uint32_t b = index + 1 < count ? loop.frame(index + 1)
                              : looping         ? loop.frame(0)
                                                : a;
            out[std::size_t{2} * played] = blend(leftOf(a), leftOf(b), fraction);
            out[std::size_t{2} * played + 1] = blend(rightOf(a), rightOf(b), fraction);
        }
        ++played;

        position_ += step;
        // A high rate on a tiny loop can step over the end more than once.
        while ((position_ >> 32) >= count && playing_) {
            countPass();
            position_ -= loopLength;
            wrap();
            if (playing_) {
                current = &takeOfferedLoop(*current, step);
                count = current->frameCount;
                loopLength = std::uint64_t{count} << 32;
            }
        }
        if (!playing_)
            break;
    }
    trace_.played = played;
    // After the reads, so no refill opens for a region this period was still reading: every
    // region start the next period can reach (if no longer than the largest yet), but never
    // more than one loop ahead.
    if (frames > largestPeriod_)
        largestPeriod_ = frames;
    const std::uint64_t ahead = std::uint64_t{largestPeriod_} * step;
    signalEventsBefore(*current, position_ + std::min(ahead, loopLength));
    return played;
}

} // namespace brev
