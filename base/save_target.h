// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <functional>
#include <string>
#include <utility>

namespace brev {

// A folder held open by its descriptor: what is checked in it and written into it stays the
// same folder, whatever is renamed or swapped for a link along its path meanwhile.
class HeldFolder {
public:
    HeldFolder() = default;
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;
    HeldFolder(HeldFolder&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    HeldFolder& operator=(HeldFolder&& other) noexcept;
    ~HeldFolder() { close(); }

    // Takes over fd, an open folder.
    explicit HeldFolder(int fd) : fd_(fd) {}
    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    void close();

private:
    int fd_ = -1;
};

// Opens the folder where a save to path lands and gives the name the file has in it. Every
// folder on the way is opened by name from the one before (O_NOFOLLOW), never by a path the
// system looks up again. A link, on the way or as the last name, is followed only where the
// system's protected_symlinks rule would follow it: outside a sticky folder that everyone may
// write, or when the link belongs to this user or to the folder's owner; the link is kept and
// the file it leads to is the one saved. A last name that does not exist yet is the new
// file's. A relative path starts at the folder from. Returns 0, the errno of the failure (ELOOP
// after 40 links) or kUnsafeLink.
int openSaveTarget(const std::string& path, HeldFolder& folder, std::string& name,
                   int from = AT_FDCWD);

// Opens the folder path, creating with mode what is missing of it, by the rules of
// openSaveTarget: a folder is never created through a link those rules would not follow.
// Returns 0, the errno of the failure or kUnsafeLink.
int openSaveFolder(const std::string& path, HeldFolder& folder, unsigned mode = 0777);

// Where tests swap a folder for a link: runs, while set, right after a save has taken its
// folder and before it looks into it.
void setSaveFolderTakenHook(std::function<void()> hook);
void runSaveFolderTakenHook();

} // namespace brev
