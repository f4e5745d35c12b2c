// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/twave.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace brev {

// brev-render run as a child process, and the loops it is given.
struct Result {
    int status;
    std::string err;
};

class BrevRenderTest : public test::TempFolderTest {
protected:
    // under: a program brev-render runs under, with its options ("valgrind -q").
    Result run(const std::vector<std::string>& args, const std::string& under = {}) const {
        // A run that waits on something it should refuse ends as a failure, not a hang.
        std::string command = "timeout 120 " + under + " " BREV_RENDER_PATH;
        for (const auto& arg : args) {
            command += " '" + arg + "'";
        }
        std::string errFile = path("stderr.txt");
        command += " 2>'" + errFile + "' >/dev/null";
        int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, contents(errFile)};
    }

    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Starts brev-render with args and stderr in stderr.txt, dumping no core; with fileLimit, no
    // file it writes may grow past that many bytes.
    pid_t start(std::vector<std::string> args, rlim_t fileLimit = RLIM_INFINITY) const {
        std::vector<char*> argv{const_cast<char*>(BREV_RENDER_PATH)};
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        const int err = ::open(path("stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const pid_t child = ::fork();
        if (child == 0) {
            const struct rlimit noCore {
            }, limit{fileLimit, fileLimit};
            ::setrlimit(RLIMIT_CORE, &noCore);
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::dup2(err, 2);
            ::execv(BREV_RENDER_PATH, argv.data());
            ::_exit(127);
        }
        ::close(err);
        return child;
    }

    // The child's wait status; signal (0: none) is sent once ready() holds, -1 when the child
    // ended before.
    static int statusAfter(pid_t child, int signal, const std::function<bool()>& ready) {
        int status = 0;
        bool sent = signal == 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            if (!sent && ready())
                sent = ::kill(child, signal) == 0;
            ::usleep(200);
        }
        return sent ? status : -1;
    }

    // A loop whose every frame differs, so a misplaced frame shows.
    std::string writeLoop(const std::string& name, int frames) const {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < frames; ++i) {
            samples.push_back(static_cast<std::int16_t>((i * 7) % 32000 - 16000));
            samples.push_back(static_cast<std::int16_t>((i * 13) % 30000 - 15000));
        }
        BrevWave::TWave wave(samples.data(), static_cast<std::int32_t>(samples.size() * 2));
        wave.SaveToFile(path(name));
        return path(name);
    }

    static BrevWave::TWave load(const std::string& file) {
        BrevWave::TWave wave;
        wave.LoadFromFile(file);
        return wave;
    }

    static bool sameBytes(const BrevWave::TWave& a, const BrevWave::TWave& b) {
        return a.byteLength() == b.byteLength() &&
               std::memcmp(a.GetData(), b.GetData(), static_cast<size_t>(a.byteLength())) == 0;
    }
};

} // namespace brev
