// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brev {

// A text of the program's version strings ("FileDescription", "FileVersion"); raises
// brev::Error "Error querying " + key for a key the program does not carry.
std::string GetVersionInfo(const std::string& key);

// The window caption: the file description, one space, the file version.
std::string versionCaption();

// What --version prints for one of the programs, e.g. "brev-render (BREV Editor) 1.0.0.18".
std::string versionLine(const std::string& program);

// The help file: beside the program file, as in a build tree, or else in the documentation
// folder of an installed tree when it is there.
std::string helpFilePath(const std::string& programDirectory);
// The same help as web pages, for desktops without a viewer for the compiled file.
std::string helpPagesPath(const std::string& programDirectory);
std::string helpMissingMessage(const std::string& helpPath);

} // namespace brev
