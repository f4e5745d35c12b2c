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
#include <memory>
#include <rubberband/rubberband-c.h>
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

struct StateDelete {
    void operator()(RubberBandState state) const { rubberband_delete(state); }
};
using Stretcher = std::unique_ptr<RubberBandState_, StateDelete>;

Planes toPlanes(const BrevWave::TWave& loop) {
    const auto frames = static_cast<std::size_t>(loop.GetSamples());
    Planes planes{std::vector<float>(frames), std::vector<float>(frames)};
    const std::uint8_t* bytes = loop.GetData();
    for (std::size_t i = 0; i < frames; ++i) {
        planes[0][i] =
            static_cast<float>(static_cast<std::int16_t>(readLe16(bytes + 4 * i))) / 32768.0f;
        planes[1][i] =
            static_cast<float>(static_cast<std::int16_t>(readLe16(bytes + 4 * i + 2))) / 32768.0f;
    }
    return planes;
}

BrevWave::TWave fromPlanes(const Planes& planes) {
    const auto frames = static_cast<std::int32_t>(planes[0].size());
    BrevWave::TWave wave = BrevWave::TWave::unwritten(frames);
    std::uint8_t* bytes = wave.GetData();
    for (std::size_t i = 0; i < planes[0].size(); ++i) {
        writeLe16(bytes + 4 * i, static_cast<std::uint16_t>(toSample16(planes[0][i])));
        writeLe16(bytes + 4 * i + 2, static_cast<std::uint16_t>(toSample16(planes[1][i])));
    }
    return wave;
}

// Feeds the planes in blocks to study or process, saying how far it got.
template <typename Feed>
void feed(const Planes& input, const DecodeProgress& progress, double from, double share,
          Feed&& step) {
    const auto frames = static_cast<std::int32_t>(input[0].size());
    for (std::int32_t at = 0; at < frames; at += kBlockFrames) {
        const std::int32_t count = std::min(kBlockFrames, frames - at);
        const std::array<const float*, 2> block{input[0].data() + at, input[1].data() + at};
        step(block.data(), static_cast<unsigned>(count), at + count >= frames);
        if (progress && !progress(from + share * (at + count) / frames))
            throw DecodeCancelled();
    }
}

// Takes what the stretcher has ready; past the wanted length it is dropped.
void retrieve(RubberBandState state, Planes& output, std::size_t& written) {
    std::array<float, kBlockFrames> left{};
    std::array<float, kBlockFrames> right{};
    const std::array<float*, 2> block{left.data(), right.data()};
    for (int ready = rubberband_available(state); ready > 0; ready = rubberband_available(state)) {
        const unsigned got = rubberband_retrieve(
            state, block.data(), static_cast<unsigned>(std::min(ready, kBlockFrames)));
        const std::size_t kept = std::min<std::size_t>(got, output[0].size() - written);
        std::copy_n(left.begin(), kept, output[0].begin() + static_cast<std::ptrdiff_t>(written));
        std::copy_n(right.begin(), kept, output[1].begin() + static_cast<std::ptrdiff_t>(written));
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

// One pass of the stretcher over input: outFrames frames, shifted by pitchScale. Its progress runs
// from `from` over `share`.
Planes stretchPlanes(const Planes& input, std::int64_t outFrames, double pitchScale,
                     const DecodeProgress& progress, double from, double share) {
    const std::size_t frames = input[0].size();
    const Stretcher stretcher(
        rubberband_new(BrevWave::kSampleRate, BrevWave::kChannels, kOptions,
                       static_cast<double>(outFrames) / static_cast<double>(frames), pitchScale));
    if (!stretcher)
        throw Error("Cannot stretch the loop: Rubber Band refused to start");
    RubberBandState state = stretcher.get();
    rubberband_set_expected_input_duration(state, static_cast<unsigned>(frames));
    feed(input, progress, from, share * kStudyShare,
         [state](const float* const* block, unsigned count, bool last) {
             rubberband_study(state, block, count, last ? 1 : 0);
         });
    // Short of the wanted length, the rest stays silent.
    Planes output{std::vector<float>(static_cast<std::size_t>(outFrames)),
                  std::vector<float>(static_cast<std::size_t>(outFrames))};
    std::size_t written = 0;
    feed(input, progress, from + share * kStudyShare, share * (1 - kStudyShare),
         [&](const float* const* block, unsigned count, bool last) {
             rubberband_process(state, block, count, last ? 1 : 0);
             retrieve(state, output, written);
         });
    return output;
}

} // namespace

BrevWave::TWave stretchLoop(BrevWave::TWave loop, const LoopStretch& stretch,
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
    Planes planes = toPlanes(loop);
    loop = BrevWave::TWave();
    if (ratio * pitchScale >= kLowestSafeRatio)
        return fromPlanes(stretchPlanes(planes, outFrames, pitchScale, progress, 0, 1));
    // The shift comes with the last step, which takes the loop from its first step's length
    // (at least 1/16 × 1/2 / (1/8) = 1/4 of the loop's) to the bar's.
    const double lastRatio = kLowestSafeRatio / pitchScale;
    const auto firstFrames =
        static_cast<std::int64_t>(std::ceil(static_cast<double>(outFrames) / lastRatio));
    planes = stretchPlanes(planes, firstFrames, 1, progress, 0, 0.5);
    return fromPlanes(stretchPlanes(planes, outFrames, pitchScale, progress, 0.5, 0.5));
}

StretchedAudio stretchLoaded(LoadedAudio loaded, const LoopStretch& stretch,
                             const DecodeProgress& progress) {
    StretchedAudio result{std::move(loaded), {}, {}};
    if (!changesLoop(result.audio.wave.GetSamples(), stretch))
        return result;
    result.unstretched = result.audio.wave;
    try {
        result.audio.wave = stretchLoop(std::move(result.audio.wave), stretch, progress);
    } catch (const DecodeCancelled&) {
        throw;
    } catch (const Error& e) {
        result.problem = e.what();
        result.audio.wave = std::move(result.unstretched);
    }
    return result;
}

} // namespace brev
