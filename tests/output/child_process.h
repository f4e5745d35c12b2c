// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace brev::test {

// A child process we started, ended by its process id when the object goes, and by the kernel
// should this test process die first.
class Child {
public:
    // Our standard input, or a pipe held open until closeInput(), for a child that ends when its
    // input does.
    enum class Input { Ours, Pipe };
    // Standard output goes to output, standard error to errors.
    Child(const std::vector<std::string>& argv, const std::string& output,
          const std::string& errors = "/dev/null", Input input = Input::Ours);
    ~Child() { stop(SIGTERM); }

    bool started() const { return pid_ > 0; }
    bool running();
    void closeInput();
    // Whether the child ends by itself within seconds.
    bool endsWithin(double seconds);
    // The exit status once the child has ended by itself; -1 when it was signalled.
    int exitCode() const;
    // Sends signal, and SIGKILL when the child has not ended within 3 seconds.
    void stop(int signal);

private:
    int pid_ = -1;
    int status_ = 0;
    int input_ = -1; // the pipe's end we write to
};

// Whether program is an executable file in a folder of PATH.
bool onPath(const std::string& program);

} // namespace brev::test
