// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/loop_stretcher.h"

#include "audio/loop_converter.h"
#include "base/error.h"
#include "base/little_endian.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <rubberband/rubberband-c.h>
#include <utility>
#include <vector>

namespace brev {

namespace {

// Blocks as Rubber Band's own command-line program feeds them.
constexpr std::int32_t kBlockFrames = 1024;
// Beyond these the result is more artefact than loop, and its size runs away.
constexpr double kMinRatio = 1.0 / 16;
constexpr double kMaxRatio = 16;
// The study is quick beside the processing.
constexpr double kStudyShare = 0.1;
// Rubber Band 3.1 (Debian 12's) reads past the end of a buffer of its own, in the R3 engine's
// analysis, while the time ratio times the pitch scale lies between 1/16 and 1/8: what it reads
// there is other memory, and a loop may come out with a silent channel. Such a stretch is made in
// two steps that each stay above 1/8; the margin keeps rounding away from the edge.
constexpr double kLowestSafeRatio = 1.0 / 8 + 0.005;

// The engine's defaults otherwise, as the command-line program sets them with -3; R3 runs on
// one thread whatever is asked, so asking for none spares waiting for helpers that never come.
constexpr RubberBandOptions kOptions =
    RubberBandOptionProcessOffline | RubberBandOptionEngineFiner | RubberBandOptionThreadingNever;

using Planes = std::array<std::vector<float>, 2>;
// A block of both channels' planes, valid until the next block is asked for.
using PlaneBlock = std::array<const float*, 2>;
// Hands out count frames from a frame on.
using FrameSource = std::function<PlaneBlock(std::size_t at, std::size_t count)>;
// Takes count frames to be placed at a frame.
using FrameSink = std::function<void(std::size_t at, PlaneBlock block, std::size_t count)>;

struct StateDelete {
    void operator()(RubberBandState state) const { rubberband_delete(state); }
};
using Stretcher = std::unique_ptr<RubberBandState_, StateDelete>;

// The loop's samples turned into planes block by block: a long loop is never held twice.
FrameSource waveSource(const BrevWave::TWave& loop) {
    return [&loop, planes = std::array<std::array<float, kBlockFrames>, 2>{}](
               std::size_t at, std::size_t count) mutable {
        const std::uint8_t* bytes = loop.GetData() + 4 * at;
        for (std::size_t i = 0; i < count; ++i) {
            planes[0][i] =
                static_cast<float>(static_cast<std::int16_t>(readLe16(bytes + 4 * i))) / 32768.0f;
            planes[1][i] =
                static_cast<float>(static_cast<std::int16_t>(readLe16(bytes + 4 * i + 2))) /
                32768.0f;
        }
        return PlaneBlock{planes[0].data(), planes[1].data()};
    };
}

FrameSink waveSink(BrevWave::TWave& wave) {
    return [&wave](std::size_t at, PlaneBlock block, std::size_t count) {
        std::uint8_t* bytes = wave.GetData() + 4 * at;
        for (std::size_t i = 0; i < count; ++i) {
            writeLe16(bytes + 4 * i, static_cast<std::uint16_t>(toSample16(block[0][i])));
            writeLe16(bytes + 4 * i + 2, static_cast<std::uint16_t>(toSample16(block[1][i])));
        }
    };
}

FrameSource planeSource(const Planes& planes) {
    return [&planes](std::size_t at, std::size_t) {
        return PlaneBlock{planes[0].data() + at, planes[1].data() + at};
    };
}

FrameSink planeSink(Planes& planes) {
    return [&planes](std::size_t at, PlaneBlock block, std::size_t count) {
        for (std::size_t channel = 0; channel < planes.size(); ++channel)
            std::copy_n(block[channel], count,
                        planes[channel].begin() + static_cast<std::ptrdiff_t>(at));
    };
}

// Feeds frames in blocks to study or process, saying how far it got.
template <typename Feed>
void feed(std::size_t frames, const FrameSource& source, const DecodeProgress& progress,
          double from, double share, Feed&& step) {
    for (std::size_t at = 0; at < frames; at += kBlockFrames) {
        const std::size_t count = std::min<std::size_t>(kBlockFrames, frames - at);
        const PlaneBlock block = source(at, count);
        step(block.data(), static_cast<unsigned>(count), at + count >= frames);
        if (progress &&
            !progress(from + share * static_cast<double>(at + count) / static_cast<double>(frames)))
            throw DecodeCancelled();
    }
}

// Takes what the stretcher has ready; past the wanted length it is dropped.
void retrieve(RubberBandState state, const FrameSink& sink, std::size_t wanted,
              std::size_t& written) {
    std::array<float, kBlockFrames> left{};
    std::array<float, kBlockFrames> right{};
    const std::array<float*, 2> block{left.data(), right.data()};
    for (int ready = rubberband_available(state); ready > 0; ready = rubberband_available(state)) {
        const unsigned got = rubberband_retrieve(
            state, block.data(), static_cast<unsigned>(std::min<int>(ready, kBlockFrames)));
        const std::size_t kept = std::min<std::size_t>(got, wanted - written);
        sink(written, PlaneBlock{left.data(), right.data()}, kept);
        written += kept;
    }
}

void checkTarget(double ratio, std::int64_t frames, std::int32_t ownFrames,
                 const LoopStretch& stretch) {
    char text[160];
    if (ratio < kMinRatio || ratio > kMaxRatio) {
        std::snprintf(text, sizeof text,
                      "Cannot stretch the loop from its own %.2f BPM to %.2f BPM: at most %g "
                      "times slower or faster",
                      loopTempo(ownFrames), stretch.targetCentiBpm / 100.0, kMaxRatio);
        throw Error(text);
    }
    if (frames > INT32_MAX / BrevWave::kFrameBytes) {
        std::snprintf(text, sizeof text,
                      "Cannot stretch the loop to %.2f BPM: it would be longer than a wave holds",
                      stretch.targetCentiBpm / 100.0);
        throw Error(text);
    }
}

// One pass of the stretcher over `frames` frames of source into outFrames frames of sink, shifted
// by pitchScale; frames the stretcher leaves short stay silent. Its progress runs from `from`
// over `share`.
void stretchFrames(std::size_t frames, const FrameSource& source, std::size_t outFrames,
                   const FrameSink& sink, double pitchScale, const DecodeProgress& progress,
                   double from, double share) {
    const Stretcher stretcher(
        rubberband_new(BrevWave::kSampleRate, BrevWave::kChannels, kOptions,
                       static_cast<double>(outFrames) / static_cast<double>(frames), pitchScale));
    if (!stretcher)
        throw Error("Cannot stretch the loop: Rubber Band refused to start");
    RubberBandState state = stretcher.get();
    rubberband_set_expected_input_duration(state, static_cast<unsigned>(frames));
    feed(frames, source, progress, from, share * kStudyShare,
         [state](const float* const* block, unsigned count, bool last) {
             rubberband_study(state, block, count, last ? 1 : 0);
         });
    std::size_t written = 0;
    feed(frames, source, progress, from + share * kStudyShare, share * (1 - kStudyShare),
         [&](const float* const* block, unsigned count, bool last) {
             rubberband_process(state, block, count, last ? 1 : 0);
             retrieve(state, sink, outFrames, written);
         });
    const std::array<float, kBlockFrames> silence{};
    while (written < outFrames) {
        const std::size_t count = std::min<std::size_t>(kBlockFrames, outFrames - written);
        sink(written, PlaneBlock{silence.data(), silence.data()}, count);
        written += count;
    }
}

} // namespace

BrevWave::TWave stretchLoop(const BrevWave::TWave& loop, const LoopStretch& stretch,
                            const DecodeProgress& progress) {
    const std::int32_t frames = loop.GetSamples();
    if (!changesLoop(frames, stretch))
        return loop;
    const double ratio = timeRatio(frames, stretch);
    const std::int64_t outFrames = stretchedFrames(frames, stretch);
    checkTarget(ratio, outFrames, frames, stretch);
    if (!stretchLibraryError().empty())
        throw Error("Cannot stretch the loop: " + stretchLibraryError());

    const double pitchScale = std::exp2(stretch.pitchSemitones / 12.0);
    const auto inFrames = static_cast<std::size_t>(frames);
    BrevWave::TWave stretched = BrevWave::TWave::unwritten(static_cast<std::int32_t>(outFrames));
    if (ratio * pitchScale >= kLowestSafeRatio) {
        stretchFrames(inFrames, waveSource(loop), static_cast<std::size_t>(outFrames),
                      waveSink(stretched), pitchScale, progress, 0, 1);
        return stretched;
    }
    // The shift comes with the last step, which takes the loop from its first step's length
    // (at least 1/16 × 1/2 / (1/8) = 1/4 of the loop's, and short of the loop's own) to the
    // bar's.
    const double lastRatio = kLowestSafeRatio / pitchScale;
    const auto firstFrames =
        static_cast<std::size_t>(std::ceil(static_cast<double>(outFrames) / lastRatio));
    Planes between{std::vector<float>(firstFrames), std::vector<float>(firstFrames)};
    stretchFrames(inFrames, waveSource(loop), firstFrames, planeSink(between), 1, progress, 0, 0.5);
    stretchFrames(firstFrames, planeSource(between), static_cast<std::size_t>(outFrames),
                  waveSink(stretched), pitchScale, progress, 0.5, 0.5);
    return stretched;
}

BrevWave::TWave stretchLoop(BrevWave::TWave&& loop, const LoopStretch& stretch,
                            const DecodeProgress& progress) {
    if (!changesLoop(loop.GetSamples(), stretch))
        return std::move(loop);
    return stretchLoop(std::as_const(loop), stretch, progress);
}

StretchedAudio stretchLoaded(LoadedAudio loaded, const LoopStretch& stretch,
                             const DecodeProgress& progress) {
    StretchedAudio result{std::move(loaded), {}, {}};
    if (!changesLoop(result.audio.wave.GetSamples(), stretch))
        return result;
    try {
        BrevWave::TWave stretched =
            stretchLoop(std::as_const(result.audio.wave), stretch, progress);
        result.unstretched = std::exchange(result.audio.wave, std::move(stretched));
    } catch (const DecodeCancelled&) {
        throw;
    } catch (const Error& e) {
        result.problem = e.what();
    }
    return result;
}

} // namespace brev
