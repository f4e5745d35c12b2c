// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/output_backend.h"

#include <algorithm>
#include <cstdio>

namespace brev {

bool TDriverEntry::isDefault() const {
    return std::all_of(GUID.begin(), GUID.end(), [](unsigned char b) { return b == 0; });
}

std::array<unsigned char, 16> deviceGuid(const std::string& hostApi,
                                         const std::string& deviceName) {
    // Two FNV-1a passes with different offsets over "hostApi\0deviceName".
    std::string key = hostApi + '\0' + deviceName;
    std::array<unsigned char, 16> guid{};
    std::uint64_t seeds[2] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull};
    for (std::size_t half = 0; half < 2; ++half) {
        std::uint64_t h = seeds[half];
        for (char c : key) {
            h ^= static_cast<unsigned char>(c);
            h *= 0x100000001b3ull;
        }
        for (std::size_t i = 0; i < 8; ++i)
            guid[8 * half + i] = static_cast<unsigned char>(h >> (8 * i));
    }
    if (std::all_of(guid.begin(), guid.end(), [](unsigned char b) { return b == 0; }))
        guid[0] = 1;
    return guid;
}

std::string formatCapabilities(const DeviceCaps& caps) {
    auto flag = [&](std::uint32_t bit, const char* set, const char* unset) {
        return std::string(caps.flags & bit ? set : unset) + "\r\n";
    };
    auto memory = [](std::int32_t bytes, const char* what) {
        char line[96];
        std::snprintf(line, sizeof line, "%d bytes (%d KB) %s hardware memory\r\n", bytes,
                      bytes >> 10, what);
        return std::string(line);
    };
    std::string report;
    report += flag(DeviceCaps::kCertified, "Certified driver", "Driver NOT certified");
    report += flag(DeviceCaps::kEmulated, "Emulated driver", "True DirectSound driver");
    report += flag(DeviceCaps::kSecondary16Bit, "16 bit hardware secondary buffer",
                   "No secondary hardware 16 bit buffer");
    report += flag(DeviceCaps::kSecondaryStereo, "Stereo hardware secondary buffer",
                   "No secondary hardware stereo buffer");
    report += std::to_string(caps.maxHwMixingAllBuffers) + " max hardware mix all buffer\r\n";
    report += memory(caps.totalHwMemBytes, "total");
    report += memory(caps.freeHwMemBytes, "free");
    return report;
}

} // namespace brev
