// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/error.h"
#include "base/program_info.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(ProgramInfo, VersionStringsMakeTheCaption) {
    EXPECT_EQ(brev::GetVersionInfo("FileDescription"), "BREV Editor");
    EXPECT_EQ(brev::GetVersionInfo("FileVersion"), "1.0.0.18");
    EXPECT_EQ(brev::versionCaption(), "BREV Editor 1.0.0.18");
}

TEST(ProgramInfo, MissingKeyIsNamedInTheError) {
    for (const char* key : {"CompanyName", "", "FileDescription "}) {
        try {
            brev::GetVersionInfo(key);
            ADD_FAILURE() << "no error for '" << key << "'";
        } catch (const brev::Error& error) {
            EXPECT_EQ(std::string(error.what()), std::string("Error querying ") + key);
        }
    }
}

TEST(ProgramInfo, HelpFileIsFoundBesideTheProgramOrInTheInstalledTree) {
    EXPECT_EQ(brev::helpFilePath("/usr/lib/brev-editor"), "/usr/lib/brev-editor/brevedit.chm");
    EXPECT_EQ(brev::helpFilePath("/opt/brev/"), "/opt/brev/brevedit.chm");
    EXPECT_EQ(brev::helpMissingMessage("/opt/brev/brevedit.chm"),
              "/opt/brev/brevedit.chm seems to be missing");

    const brev::test::TempFolder folder;
    const std::filesystem::path& prefix = folder.path();
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "share/doc/brev-editor");
    std::ofstream(prefix / "share/doc/brev-editor/brevedit.chm") << "ITSF";
    const std::string installed = brev::helpFilePath((prefix / "bin").string());
    EXPECT_EQ(std::filesystem::canonical(installed), prefix / "share/doc/brev-editor/brevedit.chm");
    std::ofstream(prefix / "bin/brevedit.chm") << "ITSF";
    EXPECT_EQ(brev::helpFilePath((prefix / "bin").string()),
              (prefix / "bin/brevedit.chm").string());
}

} // namespace
