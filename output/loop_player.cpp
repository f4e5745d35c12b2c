#include "output/loop_player.h"

#include <cstring>
#include <thread>

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

std::int16_t blend(std::int16_t a, std::int16_t b, std::uint32_t fraction) {
    std::int64_t delta = static_cast<std::int64_t>(b) - a;
    return static_cast<std::int16_t>(a + ((delta * fraction) >> 32));
}

} // namespace

LoopBuffer::LoopBuffer(std::uint32_t frameCount)
    : frameCount(frameCount), frames(new std::atomic<std::uint32_t>[frameCount]) {
    for (std::uint32_t i = 0; i < frameCount; ++i)
        frames[i].store(0, std::memory_order_relaxed);
}

void LoopBuffer::write(std::uint32_t firstFrame, const unsigned char* bytes,
                       std::uint32_t count) noexcept {
    if (firstFrame >= frameCount)
        return;
    if (count > frameCount - firstFrame)
        count = frameCount - firstFrame;
    std::atomic<std::uint32_t>* target = frames.get() + firstFrame;
    for (std::uint32_t i = 0; i < count; ++i, bytes += 4) {
        std::uint32_t frame =
            bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        target[i].store(frame, std::memory_order_relaxed);
    }
}

void LoopPlayer::send(Mode mode, std::uint32_t passes) noexcept {
    std::uint32_t serial = serialOf(lastCommand_) + 1;
    if (passes > 0xFFFFFF)
        passes = 0xFFFFFF;
    lastCommand_ = std::uint64_t{serial} << 32 | std::uint64_t{mode} << 24 | passes;
    command_.store(lastCommand_, std::memory_order_release);
}

void LoopPlayer::setLoop(const LoopBuffer* loop) noexcept {
    send(Stopped, 0);
    rate_.store(kDeviceRate, std::memory_order_relaxed);
    loop_.store(loop);
    // A render that marked itself busy before the store above may still hold the old buffer;
    // one that marks itself later sees the new one. Renders are short, so this spin is too.
    while (busy_.load())
        std::this_thread::yield();
}

void LoopPlayer::setRate(std::uint32_t hz) noexcept {
    hz = hz < kMinRate ? kMinRate : hz > kMaxRate ? kMaxRate : hz;
    rate_.store(hz, std::memory_order_relaxed);
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

void LoopPlayer::applyCommand(std::uint64_t command) noexcept {
    appliedSerial_ = serialOf(command);
    playing_ = modeOf(command) == Playing;
    passLimit_ = passesOf(command);
    passesDone_ = 0;
    position_ = 0;
    nextRegion_ = 0;
}

unsigned LoopPlayer::render(std::int16_t* out, unsigned frames) noexcept {
    busy_.store(true);
    const LoopBuffer* loop = loop_.load();
    std::uint64_t command = command_.load(std::memory_order_acquire);
    if (serialOf(command) != appliedSerial_)
        applyCommand(command);

    unsigned played = 0;
    if (playing_ && loop != nullptr && loop->frameCount > 0) {
        const std::uint64_t step =
            (std::uint64_t{rate_.load(std::memory_order_relaxed)} << 32) / kDeviceRate;
        const std::uint32_t count = loop->frameCount;
        const bool looping = passLimit_ != 1;
        while (played < frames) {
            std::uint32_t index = static_cast<std::uint32_t>(position_ >> 32);
            while (nextRegion_ < kRegionCount && index >= loop->regionStarts[nextRegion_])
                loop->events.signal(nextRegion_++);

            std::uint32_t a = loop->frame(index);
            std::uint32_t fraction = static_cast<std::uint32_t>(position_);
            if (fraction == 0) {
                out[2 * played] = leftOf(a);
                out[2 * played + 1] = rightOf(a);
            } else {
                std::uint32_t b = index + 1 < count ? loop->frame(index + 1)
                                  : looping         ? loop->frame(0)
                                                    : a;
                out[2 * played] = blend(leftOf(a), leftOf(b), fraction);
                out[2 * played + 1] = blend(rightOf(a), rightOf(b), fraction);
            }
            ++played;

            position_ += step;
            // A high rate on a tiny loop can step over the end more than once.
            while ((position_ >> 32) >= count && playing_) {
                ++passesDone_;
                if (passLimit_ != 0 && passesDone_ >= passLimit_) {
                    playing_ = false;
                    finishedSerial_.store(appliedSerial_, std::memory_order_release);
                }
                position_ -= std::uint64_t{count} << 32;
                nextRegion_ = 0;
            }
            if (!playing_)
                break;
        }
    }
    if (played < frames)
        std::memset(out + 2 * played, 0, sizeof(std::int16_t) * 2 * (frames - played));
    busy_.store(false);
    return played;
}

} // namespace brev
