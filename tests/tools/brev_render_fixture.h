#pragma once

#include "audio/twave.h"
#include "tests/support/temp_folder.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace brev {

// brev-render run as a child process, and the loops it is given.
struct Result {
    int status;
    std::string err;
};

class BrevRenderTest : public test::TempFolderTest {
protected:
    Result run(const std::vector<std::string>& args) const {
        // A run that waits on something it should refuse ends as a failure, not a hang.
        std::string command = "timeout 60 " BREV_RENDER_PATH;
        for (const auto& arg : args) {
            command += " '" + arg + "'";
        }
        std::string errFile = path("stderr.txt");
        command += " 2>'" + errFile + "' >/dev/null";
        int raw = std::system(command.c_str());
        std::ifstream in(errFile);
        std::ostringstream err;
        err << in.rdbuf();
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err.str()};
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
