// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/segment_store.h"
#include "audio/twave.h"
#include "output/loop_player.h"
#include "output/output_backend.h"
#include "output/pitch_keeper.h"
#include "output/prepared_loop.h"

#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brev {

class ClipboardPort;
class PortAudioSession;

// Which output the engine plays through. By default from the environment: BREV_AUDIO=null
// selects the silent real-time output, BREV_AUDIO_CAPTURE=FILE.wav makes it record what it plays.
struct OutputOptions {
    bool nullOutput = false;
    std::string capturePath;
    // How the output introduces itself to a JACK server, and what it follows there.
    std::string jackClientName = "brev-editor";
    SyncMode sync = SyncMode::Off;

    static OutputOptions fromEnvironment();
};

// The playback engine: the loaded loop with its segment and slot stores, one output buffer
// holding the whole loop, the 16 slot-start events and the output device. Every operation runs
// on the GUI thread; the device reads the buffer on its own.
class TDS {
public:
    // Opens the device at driverIndex in the device list (the default device, index 0, when the
    // index is out of range). A named device that fails to open raises "DirectSoundCreate8()
    // failed" and leaves nothing behind, so the caller can keep its old engine. When the default
    // device cannot be opened the engine plays through the null output instead and says why in
    // OutputNotice().
    explicit TDS(int driverIndex, const OutputOptions& options = OutputOptions::fromEnvironment());
    ~TDS();
    TDS(const TDS&) = delete;
    TDS& operator=(const TDS&) = delete;

    // Device list.
    int DriverIndex() const { return FDriverIndex; }
    void EnumerateDrivers();
    int DriverCount() const { return static_cast<int>(FDrivers.size()); }
    std::string DriverName(int index) const;
    const TDriverEntry& Driver(int index) const;
    // The 7-line capability report of the open device, for the editor's message box.
    std::string ShowCapabilities() const;
    // Non-empty when the engine fell back to the null output; the editor shows it once.
    const std::string& OutputNotice() const { return notice_; }
    // True while the engine plays through the null output (asked for, or for want of a device).
    bool silent() const { return nullOutput_; }
    // Seconds of sound still on their way to the listener after a frame is played.
    double OutputLatency() const;
    // Frames per device period; 0 when the device does not say.
    unsigned OutputPeriod() const;
    // Why the output no longer delivers sound (device unplugged, sound server gone, capture file
    // not written); empty while it works.
    std::string OutputFailure() const;
    // Replaces a failed output with the silent one, keeping the loop, the events and playback
    // as they are; the next Play tries the chosen device again. OutputNotice() says why.
    void ContinueSilently(const std::string& reason);
    // After the device was lost, tries to open it again (the silent output stays when it fails,
    // and OutputNotice() says why); otherwise does nothing.
    void RetryLostDevice();
    // True while playback is silent because the device was lost (or would not open at Play).
    bool DeviceLost() const { return deviceLost_; }
    // The device is open only while it plays: Play opens it and Stop closes it. After playback
    // ended by itself, call this now and then: it closes the device once its tail was heard.
    // A JACK client, which other software may follow, and a capture stay open.
    void ReleaseIdleOutput();
    // Follows the JACK transport or MIDI clock (through a JACK output, whichever device is
    // chosen), or plays on its own clock again through the chosen device. False, with the reason
    // in OutputNotice(), when no JACK server answers: sync is then off.
    bool SetSyncMode(SyncMode mode);
    SyncMode GetSyncMode() const { return options_.sync; }
    // The tempo and rate followed; with sync off, the loop's tempo at the playback rate.
    SyncState Sync() const;
    // Stops the output for good, completing what it delivered (the capture file); raises when
    // that fails.
    void CloseOutput();
    // Periods the device played before they were ready, while playing, since the engine was made.
    std::uint64_t Underflows() const;
    // Refills that came after playback had reached their region, so that it played its previous
    // rendering once more instead of a mix of two.
    std::uint32_t LateRefills() const { return lateRefills_; }

    // Loading replaces source, stores, output buffer and events. The caller stops playback and
    // ends the notification thread first.
    void LoadSourceFile(const std::string& fileName, int swing);
    void LoadSourceClipboard(ClipboardPort& clipboard, int swing);
    // The same for a wave loaded (and perhaps converted) elsewhere.
    void LoadSourceWave(BrevWave::TWave wave, int swing);

    // The loaded loop, its segments and its rendered slots.
    const SegmentStore& Store() const { return FStore; }
    // The same store, for rendering slots into; a rendered slot is heard once WriteSlot() has
    // copied it into the output buffer. While a followed loop is prepared, that loop's store;
    // while RefillOfferedStart() renders, the offered loop's.
    SegmentStore& renderTarget() {
        return prepared_ ? *prepared_->store : refillingOffered_ ? *offeredStore_ : FStore;
    }
    // One copy of the slot into its region, no allocation. While playing, a write that comes
    // after playback has reached the region is left out and counted in LateRefills(). False
    // when the player has taken the offered loop since the slot was rendered: render it again
    // into renderTarget(), now that loop's store, and write it again.
    bool WriteSlot(int slot);
    // The loop offered takes over where this pass ends, and plays slot 0 first: renders it with
    // render into renderTarget() and writes it into that loop, when the slot's refill is due.
    // Does nothing while no loop is offered.
    void RefillOfferedStart(const std::function<void(int slot)>& render);

    // "Keep pitch": following an outside clock whose tempo has settled away from the loop's, the
    // loop as loaded is stretched to that tempo on a worker thread and takes over at the start of
    // a bar; until then, and with it off, the clock is followed by rate (faster is higher). Off,
    // the loop as loaded comes back. On by default.
    void SetKeepPitch(bool on) { keepPitch_.setEnabled(on); }
    bool KeepPitch() const { return keepPitch_.enabled(); }
    // How the pattern is taken when a loop starts to be made ready on a worker, whose slots are
    // rendered there from it; without one they stay raw until the loop is offered.
    using TakeSnapshot = std::function<std::shared_ptr<const SlotsSnapshot>()>;
    void SetSlotsSnapshot(TakeSnapshot take) { takeSnapshot_ = std::move(take); }
    // Owner thread, at each slot event: adopts the loop the player has switched to, then, when a
    // loop made ready to take over is there, the slots of it that sound different from the
    // pattern now. The caller renders those into renderTarget(), which is that loop's store until
    // OfferPreparedLoop() writes them into it and offers it to the player (or, stopped, puts it in
    // place at once) or DropPreparedLoop() gives it up.
    std::optional<std::bitset<kSlotCount>> PrepareFollowedLoop();
    void OfferPreparedLoop(const std::bitset<kSlotCount>& rendered);
    void DropPreparedLoop();
    // The loop as loaded, whichever loop plays now.
    const BrevWave::TWave& LoadedSource() const { return loaded_ ? *loaded_ : FStore.source(); }

    // Another tempo or pitch chosen while the loop plays: asLoaded, stretched on a worker thread,
    // takes over at the start of a bar, as a loop kept in pitch does, and the loop plays on until
    // then. A newer request replaces one still being stretched; one already offered takes over
    // first. A stretch that cannot be made leaves asLoaded to take over, with the reason.
    struct Retune {
        std::shared_ptr<const BrevWave::TWave> asLoaded;
        LoopStretch stretch;
        std::string problem;
    };
    void RetuneLoop(std::shared_ptr<const BrevWave::TWave> asLoaded, const LoopStretch& stretch);
    // Drops a retune being stretched or offered. One the player has already switched to takes over
    // here instead.
    void CancelRetune();
    // The stretch on its way, being made or offered; nothing when there is none.
    std::optional<LoopStretch> PendingRetune() const;
    // The retune that has taken over since the last call; nothing when none has.
    std::optional<Retune> TakeRetune() { return std::exchange(retuned_, std::nullopt); }
    // When the tempo of the last loop that took over had settled, and when it took over.
    SteadyTime SettledAt() const { return settledAt_; }
    SteadyTime SwitchedAt() const { return switchedAt_; }

    // Playback control.
    void Play(bool loop);
    // Plays looping and ends by itself after passes passes of the loop (0: until stopped).
    // After the device was lost, each start first tries it again.
    void PlayPasses(std::uint32_t passes);
    // The play command: writes all 16 stored slots into the output buffer, then plays from the
    // start, so that the first pass already sounds as rendered. False, and nothing played, when
    // the player took the offered loop as it stopped: render the slots again and play again.
    bool PlayStoredSlots(std::uint32_t passes);
    void Stop();
    bool IsPlaying() const;
    void SetPlaybackRate(std::uint32_t hz);
    std::uint32_t GetPlaybackRate() const;

    // Queries.
    bool IsLoaded() const { return FStore.IsLoaded(); }
    std::int32_t BufferBytes() const { return FBufferBytes; }
    std::uint32_t GetOffset(int slot) const;
    // The 16 event handles (eventfds; -1 before the first load), borrowed by the notification
    // thread.
    const int* GetEvents(std::uint32_t& count) const;
    // A copy of the output buffer's bytes.
    std::vector<std::uint8_t> outputBytes() const;

    // The rendered loop: the 16 slots joined and fitted to the source's length. A file name
    // ending in .flac gives FLAC, any other a WAV.
    void SavePatternFile(const std::string& fileName) const;
    void CopyPatternToClipboard(ClipboardPort& clipboard) const;

private:
    void load(BrevWave::TWave wave, int swing);
    void CreateOutputBuffer();
    void openOutput();
    std::unique_ptr<OutputBackend> openDevice();
    void replaceOutput();
    void setOutput(std::unique_ptr<OutputBackend> output);
    bool holdsOutputOpen() const;
    // Closes the output unless it is held open or playing (always: in any case).
    void closeIdleOutput(bool always = false);
    // Underflows count while the player plays, whatever the output did before or after.
    void startCountingUnderflows();
    void stopCountingUnderflows();
    void openForPlay();
    // Makes the loop the player switched to the engine's loop; false while it has not.
    bool adoptSwitchedLoop();
    // One copy of store's slot into its region of buffer.
    Refill refillSlot(const SegmentStore& store, LoopBuffer& buffer, int slot);
    // True when the offered loop was taken back; false when the player had switched to it, which
    // is then adopted. Waits only while the audio thread is taking it.
    bool takeBackOffer();
    // A finished retune as the loop to offer; false when none is finished.
    bool prepareRetune();
    // A job making loop ready at stretch, its slots rendered from the pattern as it is now.
    std::unique_ptr<StretchJob> startJob(std::shared_ptr<const BrevWave::TWave> loop,
                                         const LoopStretch& stretch, bool asLoadedOnFailure);
    void dropFollowedLoops();

    SegmentStore FStore;
    std::vector<TDriverEntry> FDrivers;
    int FDriverIndex = 0;
    std::int32_t FBufferBytes = 0;
    std::string notice_;
    OutputOptions options_;
    bool nullOutput_ = false;
    bool deviceLost_ = false;
    std::uint64_t underflows_ = 0;       // of playing stretches already ended
    std::uint64_t underflowsBefore_ = 0; // the output's own count when the current one began
    bool countingUnderflows_ = false;
    std::uint32_t lateRefills_ = 0;
    // What the last output said of itself, for while none is open.
    DeviceCaps caps_;
    double latency_ = 0;
    unsigned period_ = 0;
    std::optional<std::chrono::steady_clock::time_point> idleSince_;

    // "Keep pitch": the loop as loaded (made when first stretched), a loop made ready whose
    // edited slots are being rendered, a buffer offered to the player with the store it came
    // from. Owner thread only.
    PitchKeeper keepPitch_;
    TakeSnapshot takeSnapshot_;
    std::shared_ptr<const BrevWave::TWave> loaded_;
    std::optional<PreparedLoop> prepared_;
    std::unique_ptr<SegmentStore> offeredStore_;
    bool refillingOffered_ = false;
    int swing_ = 0;
    // A retune being stretched, prepared, offered, taken over. Owner thread only.
    std::unique_ptr<StretchJob> retuneJob_;
    std::optional<Retune> preparedRetune_;
    std::optional<Retune> offeredRetune_;
    std::optional<Retune> retuned_;
    SteadyTime settledAt_{};
    SteadyTime switchedAt_{};

    // Declared so that the output goes first: it stops the device before the player, the
    // buffer and the events it reads from are released.
    LoopPlayer player_;
    std::unique_ptr<LoopBuffer> FOutputBuffer;
    std::unique_ptr<LoopBuffer> offered_; // read by the audio thread once it switches to it
    std::unique_ptr<PortAudioSession> portAudio_;
    std::unique_ptr<OutputBackend> output_;
};

} // namespace brev
