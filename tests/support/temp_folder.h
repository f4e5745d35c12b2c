// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace brev::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A fixture with a fresh folder of its own per test.
class TempFolderTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return temp_.file(name); }

    TempFolder temp_;
    const std::filesystem::path& folder_ = temp_.path();
};

} // namespace brev::test
