// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound_test_server.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace brev::test {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string readText(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The folder of PipeWire's ALSA plug-in: installed, or unpacked by scripts/install-deps where
// PulseAudio is installed too (Debian 12 installs only one of them); empty when there is none.
std::string pipewireAlsaPlugins() {
    const std::string folder = "/usr/lib/" BREV_LIBRARY_ARCHITECTURE "/alsa-lib";
    for (const std::string prefix : {"", "/usr/local/lib/brev-test/pipewire-alsa"})
        if (fs::exists(prefix + folder + "/libasound_module_pcm_pipewire.so"))
            return prefix + folder;
    return {};
}

} // namespace

SoundServer::SoundServer(const TempFolder& dir, ServerKind kind)
    : dir_(dir), runtime_(dir.path() / "run"), pipewire_(kind == ServerKind::PipeWire) {
    const std::vector<const char*> programs =
        pipewire_
            ? std::vector<const char*>{"pipewire", "wireplumber", "pipewire-pulse", "dbus-daemon",
                                       "pactl",    "pw-metadata", "parec"}
            : std::vector<const char*>{"pulseaudio", "parec"};
    for (const char* program : programs)
        if (!onPath(program)) {
            skip_ = std::string(program) + " is not installed";
            return;
        }
    const fs::path home = dir.path() / "home";
    fs::create_directories(home);
    fs::create_directories(runtime_);
    fs::permissions(runtime_, fs::perms::owner_all);
    const std::string socket = (runtime_ / "pulse" / "native").string();
    // One left by a killed server would pass for the new server's.
    fs::remove(socket);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    std::ofstream asoundrc(home / ".asoundrc");
    if (pipewire_) {
        const std::string plugins = pipewireAlsaPlugins();
        if (plugins.empty()) {
            skip_ = "PipeWire's ALSA plug-in is missing (scripts/install-deps test)";
            return;
        }
        asoundrc << "pcm_type.pipewire { lib \"" << plugins
                 << "/libasound_module_pcm_pipewire.so\" }\n"
                    "ctl_type.pipewire { lib \""
                 << plugins
                 << "/libasound_module_ctl_pipewire.so\" }\n"
                    "pcm.!default { type pipewire playback_node \"-1\" capture_node \"-1\" }\n"
                    "ctl.!default { type pipewire }\n";
        startPipeWire(socket);
        return;
    }
    asoundrc << "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
    const std::string sink = "--load=module-null-sink sink_name=ci_sink rate=44100 channels=2";
    start({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
           "--log-target=file:" + dir.file("server.log"),
           sink + (kind == ServerKind::PulseForRecording ? " norewinds=1" : ""),
           "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket},
          socket);
}

void SoundServer::stop(int signal) {
    for (auto child = children_.rbegin(); child != children_.rend(); ++child)
        (*child)->stop(signal);
    children_.clear();
}

void SoundServer::keepTheLoopsRate() {
    if (pipewire_)
        command({"pw-metadata", "-n", "settings", "0", "clock.force-rate", "44100"});
}

std::string SoundServer::command(const std::vector<std::string>& argv) const {
    const std::string output = dir_.file("command.txt");
    Child child(argv, output);
    while (child.running())
        std::this_thread::sleep_for(10ms);
    return child.exitCode() == 0 ? readText(output) : std::string();
}

bool SoundServer::start(const std::vector<std::string>& argv, const fs::path& socket) {
    const std::string log = dir_.file(argv[0] + ".log");
    children_.push_back(std::make_unique<Child>(argv, "/dev/null", log));
    Child& child = *children_.back();
    for (int i = 0; i < 500 && child.running() && !fs::exists(socket); ++i)
        std::this_thread::sleep_for(10ms);
    if (child.running() && fs::exists(socket))
        return true;
    const std::string text = readText(log) + readText(dir_.file("server.log"));
    skip_ =
        argv[0] + " did not start here:\n" + text.substr(text.size() > 600 ? text.size() - 600 : 0);
    return false;
}

// Without systemd, wireplumber needs a session bus of its own.
void SoundServer::startPipeWire(const std::string& pulseSocket) {
    const fs::path bus = runtime_ / "bus";
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + bus.string()).c_str(), 1);
    if (!start({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + bus.string()},
               bus) ||
        !start({"pipewire"}, runtime_ / "pipewire-0"))
        return;
    children_.push_back(std::make_unique<Child>(std::vector<std::string>{"wireplumber"},
                                                "/dev/null", dir_.file("wireplumber.log")));
    if (!start({"pipewire-pulse"}, pulseSocket))
        return;
    command({"pactl", "load-module", "module-null-sink", "sink_name=ci_sink", "rate=44100",
             "channels=2"});
    // wireplumber makes the only sink the default, and links streams to it.
    for (int i = 0; i < 500 && command({"pactl", "get-default-sink"}) != "ci_sink\n"; ++i)
        std::this_thread::sleep_for(10ms);
    if (command({"pactl", "get-default-sink"}) != "ci_sink\n")
        skip_ = "wireplumber did not make the null sink the default:\n" +
                readText(dir_.file("wireplumber.log"));
}

} // namespace brev::test
