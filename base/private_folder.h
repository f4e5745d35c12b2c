// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brev {

// The folder for files the program keeps for this user alone (the tempo table page, the
// single-instance lock): brev-editor/ in $XDG_RUNTIME_DIR when the session has a private one,
// else in the user's cache folder. It is created with mode 0700, the folders above it as a save
// creates folders. Anything else found at its name (a link, a folder of another user) is
// refused: another local user could plant links in it. Files for this user alone are saved into
// it with FileAccess::OwnerOnly, which checks the folder again as it is written into.
// Throws Error naming the folder and the reason.
std::string privateFolder();

// brev-editor/ in the user's cache folder, held to the same rules as privateFolder(): for files
// that outlive the session, such as a loop dragged out to another program.
std::string privateCacheFolder();

// Where this user's own file name goes in privateFolder(). Whatever sits at that name and is not
// this user's regular file is removed first, so a write there never lands anywhere else.
std::string privateFilePath(const std::string& name);

} // namespace brev
