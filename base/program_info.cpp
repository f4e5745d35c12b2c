// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/program_info.h"

#include "base/error.h"

#include <string_view>
#include <sys/stat.h>

namespace brev {

namespace {

struct VersionString {
    std::string_view key;
    std::string_view value;
};

// Built into the program in place of a version resource.
constexpr VersionString kVersionStrings[] = {
    {"FileDescription", "BREV Editor"},
    {"FileVersion", "1.0.0.18"},
};

constexpr char kHelpFileName[] = "brevedit.chm";

} // namespace

std::string GetVersionInfo(const std::string& key) {
    for (const VersionString& entry : kVersionStrings) {
        if (entry.key == key) {
            return std::string(entry.value);
        }
    }
    throw Error("Error querying " + key);
}

std::string versionCaption() {
    return GetVersionInfo("FileDescription") + " " + GetVersionInfo("FileVersion");
}

std::string versionLine(const std::string& program) {
    return program + " (" + GetVersionInfo("FileDescription") + ") " +
           GetVersionInfo("FileVersion");
}

namespace {

// A help file beside the program, as in a build tree, or in the installed documentation folder.
std::string helpPath(const std::string& programDirectory, const std::string& name) {
    std::string folder = programDirectory;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    std::string beside = folder + name;
    std::string installed = folder + BREV_DOC_FROM_PROGRAM + "/" + name;
    struct stat info {};
    if (::stat(beside.c_str(), &info) != 0 && ::stat(installed.c_str(), &info) == 0) {
        return installed;
    }
    return beside;
}

} // namespace

std::string helpFilePath(const std::string& programDirectory) {
    return helpPath(programDirectory, kHelpFileName);
}

std::string helpPagesPath(const std::string& programDirectory) {
    return helpPath(programDirectory, "html/index.html");
}

std::string helpMissingMessage(const std::string& helpPath) {
    return helpPath + " seems to be missing";
}

} // namespace brev
