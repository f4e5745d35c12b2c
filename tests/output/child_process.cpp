// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_process.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace brev::test {

Child::Child(const std::vector<std::string>& argv, const std::string& output,
             const std::string& errors, Input in) {
    int input[2] = {-1, -1};
    if (in == Input::Pipe && pipe2(input, O_CLOEXEC) != 0)
        return;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls between fork and exec.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0)
            _exit(127);
        if (input[0] >= 0)
            dup2(input[0], 0);
        dup2(out, 1);
        dup2(err, 2);
        execvp(args[0], args.data());
        _exit(127);
    }
    if (input[0] >= 0)
        close(input[0]);
    input_ = input[1];
}

bool Child::running() {
    if (pid_ <= 0)
        return false;
    if (waitpid(pid_, &status_, WNOHANG) == 0)
        return true;
    pid_ = -1;
    return false;
}

void Child::closeInput() {
    if (input_ >= 0)
        close(input_);
    input_ = -1;
}

bool Child::endsWithin(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !running();
}

int Child::exitCode() const {
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

void Child::stop(int signal) {
    closeInput();
    if (pid_ <= 0)
        return;
    kill(pid_, signal);
    for (int i = 0; i < 300 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (waitpid(pid_, nullptr, WNOHANG) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace brev::test
