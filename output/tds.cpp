// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/tds.h"

#include "audio/audio_export.h"
#include "audio/clipboard_port.h"
#include "audio/loop_tempo.h"
#include "base/debug_assert.h"
#include "base/error.h"
#include "base/little_endian.h"
#include "output/jack_output.h"
#include "output/null_output.h"
#include "output/portaudio_output.h"

#include <chrono>
#include <cstdlib>
#include <new>
#include <optional>
#include <utility>

namespace brev {

namespace {

const std::array<int, kRegionCount> kNoEvents = [] {
    std::array<int, kRegionCount> handles;
    handles.fill(-1);
    return handles;
}();

TDriverEntry defaultEntry() {
    TDriverEntry entry;
    entry.Description = "System default output";
    return entry;
}

std::string syncOffNotice(const std::string& reason) {
    return "Sync needs a JACK server, so playback keeps its own clock.\n" + reason;
}

std::string lostNotice(const std::string& reason) {
    return "The sound output was lost, so playback is silent.\n" + reason;
}

// After playback ended by itself the device still holds its tail; a sound server may hold
// seconds of it.
constexpr std::chrono::seconds kTailTime{3};

} // namespace

OutputOptions OutputOptions::fromEnvironment() {
    OutputOptions options;
    const char* audio = std::getenv("BREV_AUDIO");
    options.nullOutput = audio != nullptr && std::string(audio) == "null";
    if (const char* capture = std::getenv("BREV_AUDIO_CAPTURE"))
        options.capturePath = capture;
    return options;
}

TDS::TDS(int driverIndex, const OutputOptions& options)
    : options_(options), nullOutput_(options.nullOutput) {
    std::string enumerationError;
    try {
        EnumerateDrivers();
    } catch (const Error& e) {
        if (driverIndex != 0)
            throw;
        enumerationError = e.what();
    }
    FDriverIndex = driverIndex >= 0 && driverIndex < DriverCount() ? driverIndex : 0;
    if (!enumerationError.empty()) {
        notice_ = "No sound device could be opened, so playback is silent.\n" + enumerationError;
        nullOutput_ = true;
    }
    openOutput();
    // The device is known to open; it is opened again to play.
    closeIdleOutput();
}

TDS::~TDS() {
    // The device goes first, so nothing reads the buffer or signals the events any more.
    output_.reset();
}

std::unique_ptr<OutputBackend> TDS::openDevice() {
    const TDriverEntry& device = FDrivers.at(static_cast<std::size_t>(FDriverIndex));
    if (options_.sync != SyncMode::Off || device.HostApi == kJackHostApi)
        return std::make_unique<JackOutput>(player_, options_.jackClientName, options_.sync);
    return std::make_unique<PortAudioOutput>(player_, device);
}

void TDS::openOutput() {
    if (options_.sync != SyncMode::Off) {
        try {
            if (!nullOutput_) {
                setOutput(openDevice());
                return;
            }
            throw Error("The silent output is in use.");
        } catch (const Error& e) {
            notice_ = syncOffNotice(e.what());
            options_.sync = SyncMode::Off;
        }
    }
    if (nullOutput_) {
        setOutput(std::make_unique<NullOutput>(player_, options_.capturePath));
        return;
    }
    try {
        setOutput(openDevice());
    } catch (const Error& e) {
        if (FDriverIndex != 0) {
            FDriverIndex = 0;
            throw wrapError("DirectSoundCreate8() failed", e);
        }
        // After a sync notice, both are worth knowing.
        notice_ = (notice_.empty() ? "" : notice_ + "\n") +
                  "No sound device could be opened, so playback is silent.\n" +
                  wrapError("DirectSoundCreate8() failed", e).what();
        nullOutput_ = true;
        portAudio_.reset();
        setOutput(std::make_unique<NullOutput>(player_, options_.capturePath));
    }
}

bool TDS::SetSyncMode(SyncMode mode) {
    if (mode == options_.sync)
        return true;
    if (options_.nullOutput) {
        notice_ = syncOffNotice("The silent output is in use.");
        return false;
    }
    // A JACK output switches by itself; any other change opens the output anew.
    const bool chosenIsJack =
        FDrivers.at(static_cast<std::size_t>(FDriverIndex)).HostApi == kJackHostApi;
    if ((mode != SyncMode::Off || chosenIsJack) && output_ && output_->setSyncMode(mode)) {
        options_.sync = mode;
        return true;
    }
    options_.sync = mode;
    try {
        replaceOutput();
        if (player_.isPlaying())
            startCountingUnderflows();
        closeIdleOutput();
        return true;
    } catch (const Error& e) {
        notice_ = syncOffNotice(e.what());
        options_.sync = SyncMode::Off;
    }
    try {
        replaceOutput();
    } catch (const Error& e) {
        // replaceOutput left the silent output; the next Play tries the device again.
        nullOutput_ = true;
        deviceLost_ = true;
        notice_ += "\n" + std::string(e.what());
    }
    return false;
}

void TDS::replaceOutput() {
    closeIdleOutput(true);
    try {
        setOutput(openDevice());
    } catch (const Error&) {
        setOutput(std::make_unique<NullOutput>(player_, std::string()));
        throw;
    }
    nullOutput_ = false;
    deviceLost_ = false;
}

void TDS::setOutput(std::unique_ptr<OutputBackend> output) {
    output_ = std::move(output);
    caps_ = output_->capabilities();
    latency_ = output_->latencySeconds();
    period_ = output_->periodFrames();
}

bool TDS::holdsOutputOpen() const {
    // JACK clients stay: a master starts playback, and other software hears the clock's Stop.
    // A capture records the whole run into one file.
    return options_.sync != SyncMode::Off ||
           FDrivers.at(static_cast<std::size_t>(FDriverIndex)).HostApi == kJackHostApi ||
           (nullOutput_ && !deviceLost_ && !options_.capturePath.empty());
}

void TDS::closeIdleOutput(bool always) {
    idleSince_.reset();
    if (!output_ || (!always && (holdsOutputOpen() || player_.isPlaying())))
        return;
    stopCountingUnderflows();
    // One audio thread at a time renders the player: the old output goes before a new one comes.
    output_.reset();
}

void TDS::openForPlay() {
    if (output_ && !deviceLost_)
        return;
    if (nullOutput_ && !deviceLost_) {
        setOutput(std::make_unique<NullOutput>(player_, options_.capturePath));
        return;
    }
    try {
        replaceOutput();
        notice_.clear();
    } catch (const Error& e) {
        // replaceOutput left the silent output.
        nullOutput_ = true;
        deviceLost_ = true;
        notice_ = lostNotice(e.what());
    }
}

void TDS::ReleaseIdleOutput() {
    const auto now = std::chrono::steady_clock::now();
    if (!player_.isPlaying())
        stopCountingUnderflows();
    if (!output_ || holdsOutputOpen() || player_.isPlaying())
        idleSince_.reset();
    else if (!idleSince_)
        idleSince_ = now;
    else if (now - *idleSince_ >= kTailTime)
        closeIdleOutput();
}

void TDS::startCountingUnderflows() {
    if (countingUnderflows_ || !output_)
        return;
    underflowsBefore_ = output_->underflows();
    countingUnderflows_ = true;
}

void TDS::stopCountingUnderflows() {
    if (countingUnderflows_ && output_)
        underflows_ += output_->underflows() - underflowsBefore_;
    countingUnderflows_ = false;
}

SyncState TDS::Sync() const {
    SyncState state = output_ ? output_->syncState() : SyncState{};
    state.mode = options_.sync;
    if (state.mode == SyncMode::Off || state.rateHz == 0) {
        state.rateHz = GetPlaybackRate();
        state.bpm = 0;
    }
    // The tempo table's figure: one segment, a sixteenth note, at 44100 Hz.
    if (state.bpm == 0 && FStore.UnitSamples() > 0)
        state.bpm = 661500.0 / FStore.UnitSamples() * state.rateHz / kDeviceRate;
    return state;
}

void TDS::EnumerateDrivers() {
    if (FDrivers.empty())
        FDrivers.push_back(defaultEntry());
    if (nullOutput_)
        return;
    if (!portAudio_)
        portAudio_ = std::make_unique<PortAudioSession>();
    if (!portAudio_->ok()) {
        std::string reason = portAudio_->error();
        portAudio_.reset();
        throw Error("TDS::EnumerateDrivers() failed.\n" + reason);
    }
    for (TDriverEntry& entry : portAudioDevices())
        FDrivers.push_back(std::move(entry));
    if (std::optional<TDriverEntry> jack = jackDevice())
        FDrivers.push_back(std::move(*jack));
}

std::string TDS::DriverName(int index) const {
    return Driver(index).Description;
}

const TDriverEntry& TDS::Driver(int index) const {
    if (index < 0 || index >= DriverCount())
        throw Error("TDS::DriverName() index out of bounds.");
    return FDrivers[static_cast<size_t>(index)];
}

std::string TDS::ShowCapabilities() const {
    return formatCapabilities(output_ ? output_->capabilities() : caps_);
}

double TDS::OutputLatency() const {
    return output_ ? output_->latencySeconds() : latency_;
}

unsigned TDS::OutputPeriod() const {
    return output_ ? output_->periodFrames() : period_;
}

std::string TDS::OutputFailure() const {
    return output_ ? output_->failure() : std::string();
}

std::uint64_t TDS::Underflows() const {
    return underflows_ +
           (countingUnderflows_ && output_ ? output_->underflows() - underflowsBefore_ : 0);
}

void TDS::ContinueSilently(const std::string& reason) {
    // The failed output goes first: one audio thread at a time renders the player.
    closeIdleOutput(true);
    if (!nullOutput_) {
        deviceLost_ = true;
        portAudio_.reset();
    }
    nullOutput_ = true;
    notice_ = lostNotice(reason);
    setOutput(std::make_unique<NullOutput>(player_, std::string()));
}

void TDS::RetryLostDevice() {
    if (!deviceLost_)
        return;
    try {
        replaceOutput();
        notice_.clear();
    } catch (const Error& e) {
        notice_ = lostNotice(e.what());
    }
    closeIdleOutput();
}

void TDS::CloseOutput() {
    if (output_)
        output_->finish();
}

void TDS::LoadSourceFile(const std::string& fileName, int swing) {
    BrevWave::TWave wave;
    wave.LoadFromFile(fileName);
    load(std::move(wave), swing);
}

void TDS::LoadSourceClipboard(ClipboardPort& clipboard, int swing) {
    BrevWave::TWave wave;
    wave.LoadFromClipboard(clipboard);
    load(std::move(wave), swing);
}

void TDS::LoadSourceWave(BrevWave::TWave wave, int swing) {
    load(std::move(wave), swing);
}

void TDS::load(BrevWave::TWave wave, int swing) {
    // The store refuses a bad swing or a too short loop before anything changes.
    FStore.load(std::move(wave), swing);
    swing_ = swing;
    CreateOutputBuffer();
}

void TDS::CreateOutputBuffer() {
    // From here on the engine holds no output buffer until the new one is complete.
    player_.setLoop(nullptr);
    dropFollowedLoops();
    keepPitch_.reset(loopTempo(FStore.SourceSamples()));
    FOutputBuffer.reset();
    FBufferBytes = 0;

    FOutputBuffer = loopBufferOf(FStore, FStore.source().GetData(), std::make_shared<EventSet>());
    FBufferBytes = kFrameBytes * FStore.outputFrames();
    player_.setLoop(FOutputBuffer.get());
}

void TDS::dropFollowedLoops() {
    // Called once the player no longer reads an offered buffer (setLoop has returned).
    prepared_.reset();
    offered_.reset();
    offeredStore_.reset();
    loaded_.reset();
    retuneJob_.reset();
    preparedRetune_.reset();
    offeredRetune_.reset();
    retuned_.reset();
}

void TDS::RetuneLoop(std::shared_ptr<const BrevWave::TWave> asLoaded, const LoopStretch& stretch) {
    if (FOutputBuffer)
        retuneJob_ = startJob(std::move(asLoaded), stretch, true);
}

std::unique_ptr<StretchJob> TDS::startJob(std::shared_ptr<const BrevWave::TWave> loop,
                                          const LoopStretch& stretch, bool asLoadedOnFailure) {
    // The worker gets copies only: the pattern as it is now, the swing, the events to share.
    auto prepare = [swing = swing_, snapshot = takeSnapshot_ ? takeSnapshot_() : nullptr,
                    events = FOutputBuffer->eventSet](BrevWave::TWave stretched) {
        return prepareLoop(std::move(stretched), swing, snapshot, events);
    };
    return std::make_unique<StretchJob>(std::move(loop), stretch, std::move(prepare),
                                        asLoadedOnFailure);
}

void TDS::CancelRetune() {
    retuneJob_.reset();
    if (offeredRetune_ && !adoptSwitchedLoop() && takeBackOffer()) {
        offered_.reset();
        offeredStore_.reset();
        offeredRetune_.reset();
    }
}

std::optional<LoopStretch> TDS::PendingRetune() const {
    if (retuneJob_)
        return retuneJob_->stretch();
    return offeredRetune_ ? std::optional<LoopStretch>(offeredRetune_->stretch) : std::nullopt;
}

bool TDS::prepareRetune() {
    if (!retuneJob_ || !retuneJob_->ready())
        return false;
    const std::unique_ptr<StretchJob> job = std::move(retuneJob_);
    // As a load does: a stretch that cannot be made leaves the loop at its own tempo, saying why.
    Retune retune{job->source(), job->problem().empty() ? job->stretch() : LoopStretch{},
                  job->problem()};
    prepared_ = job->take();
    preparedRetune_ = std::move(retune);
    return true;
}

std::optional<std::bitset<kSlotCount>> TDS::PrepareFollowedLoop() {
    if (!FOutputBuffer)
        return std::nullopt;
    adoptSwitchedLoop();
    // The loop a retune brings is what a kept pitch starts from: nothing is followed meanwhile.
    if (!prepareRetune() && !PendingRetune()) {
        const SyncState state = Sync();
        // Without sync the loop as loaded plays; a clock that does not set the tempo asks nothing.
        const double followed = state.mode == SyncMode::Off ? -1 : state.clockBpm;
        PreparedLoop loop;
        const std::optional<int> target = keepPitch_.poll(
            followed, std::chrono::steady_clock::now(),
            [this](const LoopStretch& stretch) {
                // Until a loop takes over, the engine's loop is the loop as loaded.
                if (!loaded_)
                    loaded_ = FStore.sharedSource();
                return startJob(loaded_, stretch, false);
            },
            loop);
        if (target)
            prepared_ = std::move(loop);
    }
    return prepared_ ? std::optional(prepared_->staleSlots()) : std::nullopt;
}

void TDS::DropPreparedLoop() {
    prepared_.reset();
    preparedRetune_.reset();
}

void TDS::OfferPreparedLoop(const std::bitset<kSlotCount>& rendered) {
    if (!prepared_)
        return;
    PreparedLoop loop = std::move(*prepared_);
    prepared_.reset();
    // Nothing reads the buffer yet: the slots rendered again go straight in.
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (rendered.test(static_cast<std::size_t>(slot)))
            loop.writeSlot(slot);
    }
    // A loop offered before and not yet taken gives way; one being taken is adopted first.
    if (offered_)
        takeBackOffer();
    offered_ = std::move(loop.buffer);
    offeredStore_ = std::move(loop.store);
    offeredRetune_ = std::exchange(preparedRetune_, std::nullopt);
    settledAt_ = keepPitch_.settledAt();
    if (player_.isPlaying()) {
        player_.offerLoop(offered_.get());
        return;
    }
    // Stopped, nothing reads the buffer: it takes over at once.
    const std::uint32_t rate = player_.rate();
    player_.setLoop(offered_.get());
    player_.setRate(rate);
    adoptSwitchedLoop();
}

bool TDS::takeBackOffer() {
    if (player_.withdrawLoop())
        return true;
    [[maybe_unused]] const bool adopted = adoptSwitchedLoop();
    BREV_ASSERT(adopted); // an offer is emptied only once the player has switched to it
    return false;
}

bool TDS::adoptSwitchedLoop() {
    if (!offered_ || player_.playingLoop() != offered_.get())
        return false;
    // The player reads the new buffer only: the old one and its store can go.
    FOutputBuffer = std::move(offered_);
    FStore = std::move(*offeredStore_);
    offeredStore_.reset();
    FBufferBytes = kFrameBytes * FStore.outputFrames();
    switchedAt_ = std::chrono::steady_clock::now();
    if (offeredRetune_) {
        // A retuned loop is the loop as loaded from now on.
        loaded_.reset();
        keepPitch_.reset(loopTempo(FStore.SourceSamples()));
        retuned_ = std::exchange(offeredRetune_, std::nullopt);
    }
    return true;
}

Refill TDS::refillSlot(const SegmentStore& store, LoopBuffer& buffer, int slot) {
    const std::uint32_t frames = regionFill(store, slot);
    if (frames == 0)
        return Refill::InTime;
    const Refill refill =
        player_.refill(buffer, static_cast<unsigned>(slot), store.slot(slot).data(), frames);
    BREV_ASSERT(refill != Refill::NoSuchRegion); // callers check the slot
    return refill;
}

bool TDS::WriteSlot(int slot) {
    if (!FOutputBuffer || slot < 0 || slot >= kSlotCount)
        return true;
    const Refill refill = refillSlot(FStore, *FOutputBuffer, slot);
    if (refill == Refill::Replaced) {
        // The slot was rendered from the store of the loop left behind.
        [[maybe_unused]] const bool adopted = adoptSwitchedLoop();
        BREV_ASSERT(adopted); // only the loop offered takes over from the engine's
        return false;
    }
    if (refill == Refill::Late)
        ++lateRefills_;
    return true;
}

void TDS::RefillOfferedStart(const std::function<void(int slot)>& render) {
    if (!offered_ || adoptSwitchedLoop())
        return;
    refillingOffered_ = true;
    try {
        render(0);
    } catch (...) {
        refillingOffered_ = false;
        throw;
    }
    refillingOffered_ = false;
    // Replaced only while the player takes the loop, at the pass's start: late.
    if (refillSlot(*offeredStore_, *offered_, 0) != Refill::InTime)
        ++lateRefills_;
}

void TDS::Play(bool loop) {
    PlayPasses(loop ? 0 : 1);
}

void TDS::PlayPasses(std::uint32_t passes) {
    if (!FOutputBuffer)
        return;
    openForPlay();
    startCountingUnderflows();
    player_.play(passes);
}

bool TDS::PlayStoredSlots(std::uint32_t passes) {
    // Stopped first, so no region is refused as late: playback starts over at frame 0. The
    // device stays open for it.
    if (FOutputBuffer)
        player_.stop();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!WriteSlot(slot))
            return false;
    }
    PlayPasses(passes);
    return true;
}

void TDS::Stop() {
    if (FOutputBuffer)
        player_.stop();
    stopCountingUnderflows();
    closeIdleOutput();
}

bool TDS::IsPlaying() const {
    return IsLoaded() && FOutputBuffer && player_.isPlaying();
}

void TDS::SetPlaybackRate(std::uint32_t hz) {
    if (FOutputBuffer)
        player_.setRate(hz);
}

std::uint32_t TDS::GetPlaybackRate() const {
    return FOutputBuffer ? player_.rate() : 0;
}

std::uint32_t TDS::GetOffset(int slot) const {
    if (slot < 0 || slot >= kSlotCount)
        throw Error("TDS::GetOffset - Index out of bounds");
    return FOutputBuffer ? kFrameBytes * FOutputBuffer->regionStarts[static_cast<size_t>(slot)] : 0;
}

const int* TDS::GetEvents(std::uint32_t& count) const {
    count = kRegionCount;
    return FOutputBuffer ? FOutputBuffer->events.handles() : kNoEvents.data();
}

std::vector<std::uint8_t> TDS::outputBytes() const {
    std::vector<std::uint8_t> bytes(static_cast<size_t>(FBufferBytes));
    for (std::size_t i = 0; i < bytes.size() / kFrameBytes; ++i)
        writeLe32(&bytes[kFrameBytes * i], FOutputBuffer->frame(static_cast<std::uint32_t>(i)));
    return bytes;
}

void TDS::SavePatternFile(const std::string& fileName) const {
    saveAudioFile(FStore.joinSlots(), fileName);
}

void TDS::CopyPatternToClipboard(ClipboardPort& clipboard) const {
    FStore.joinSlots().SaveToClipboard(clipboard);
}

} // namespace brev
