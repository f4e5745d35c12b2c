// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/null_output.h"

#include "audio/wave_header.h"
#include "base/error.h"

#include <cerrno>
#include <chrono>
#include <cstring>

namespace brev {

namespace {

constexpr std::uint64_t kMaxCaptureFrames = kMaxWaveDataBytes / kFrameBytes;

std::string captureMessage(const std::string& path, int error) {
    return "Unable to write the capture file " + path + "\n" + std::strerror(error);
}

} // namespace

NullOutput::NullOutput(LoopPlayer& player, const std::string& capturePath)
    : player_(player), capturePath_(capturePath) {
    if (!capturePath.empty()) {
        capture_ = std::fopen(capturePath.c_str(), "wb");
        const auto header = waveHeader(0);
        if (capture_ == nullptr ||
            std::fwrite(header.data(), 1, header.size(), capture_) != header.size()) {
            const int error = errno;
            if (capture_ != nullptr)
                std::fclose(capture_);
            throw Error(captureMessage(capturePath, error));
        }
    }
    thread_ = std::thread([this] { run(); });
}

NullOutput::~NullOutput() {
    stopThread();
    finishCapture();
}

void NullOutput::stopThread() {
    quit_.store(true, std::memory_order_relaxed);
    if (thread_.joinable())
        thread_.join();
}

void NullOutput::finish() {
    stopThread();
    const std::string error = finishCapture();
    if (!error.empty())
        throw Error(error);
}

std::string NullOutput::failure() const {
    const int error = captureError_.load(std::memory_order_acquire);
    return error == 0 ? std::string() : captureMessage(capturePath_, error);
}

void NullOutput::run() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    std::uint64_t periods = 0;
    while (!quit_.load(std::memory_order_relaxed)) {
        unsigned played = player_.render(period_, kPeriodFrames);
        if (capture_ != nullptr && played > 0 && capturedFrames_ + played <= kMaxCaptureFrames &&
            captureError_.load(std::memory_order_relaxed) == 0) {
            if (std::fwrite(period_, kFrameBytes, played, capture_) == played)
                capturedFrames_ += played;
            else
                captureError_.store(errno != 0 ? errno : EIO, std::memory_order_release);
        }
        ++periods;
        // Deadlines from the start, not from the last wake-up, so lateness never accumulates.
        std::this_thread::sleep_until(
            start +
            std::chrono::nanoseconds(periods * kPeriodFrames * 1000000000ull / kDeviceRate));
    }
}

std::string NullOutput::finishCapture() {
    if (capture_ == nullptr)
        return failure();
    const auto header = waveHeader(static_cast<std::uint32_t>(capturedFrames_ * kFrameBytes));
    int error = captureError_.load(std::memory_order_acquire);
    errno = 0;
    if (error == 0 && (std::fseek(capture_, 0, SEEK_SET) != 0 ||
                       std::fwrite(header.data(), 1, header.size(), capture_) != header.size() ||
                       std::fflush(capture_) != 0))
        error = errno != 0 ? errno : EIO;
    // Buffered data may first fail here, on a full disk.
    if (std::fclose(capture_) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    capture_ = nullptr;
    captureError_.store(error, std::memory_order_release);
    return failure();
}

DeviceCaps NullOutput::capabilities() const {
    DeviceCaps caps;
    caps.flags = DeviceCaps::kEmulated | DeviceCaps::kSecondary16Bit | DeviceCaps::kSecondaryStereo;
    return caps;
}

} // namespace brev
