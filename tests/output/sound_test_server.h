// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "child_process.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace brev::test {

// Which sound server, and how: PulseAudio with a null sink that does not rewind (so that parec
// hears it bit-exact from the first sample on), PulseAudio as it comes, or PipeWire as a Debian
// desktop runs it (with wireplumber, its PulseAudio server and its ALSA plug-in).
enum class ServerKind { PulseForRecording, PulseDefaults, PipeWire };

// A private sound server with a null sink "ci_sink", its default, reached through this
// process's environment, and ALSA's default device pointed at it in the test's own HOME.
// skipReason() says why it could not start.
class SoundServer {
public:
    explicit SoundServer(const TempFolder& dir, ServerKind kind = ServerKind::PulseForRecording);
    ~SoundServer() { stop(); }

    const std::string& skipReason() const { return skip_; }
    void stop(int signal = SIGTERM);
    // Runs the graph at the loop's rate, as a sink of that rate would on a server that allows
    // it, so that what the sink hears is not resampled on its way to the monitor.
    void keepTheLoopsRate();
    // What program printed, once it has ended; empty when it failed.
    std::string command(const std::vector<std::string>& argv) const;

private:
    // Starts a program and waits for the socket it makes; false, with the reason, when it ends
    // first or takes longer than 5 seconds.
    bool start(const std::vector<std::string>& argv, const std::filesystem::path& socket);
    void startPipeWire(const std::string& pulseSocket);

    const TempFolder& dir_;
    std::filesystem::path runtime_;
    bool pipewire_ = false;
    std::string skip_;
    std::vector<std::unique_ptr<Child>> children_;
};

} // namespace brev::test
