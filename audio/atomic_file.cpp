#include "audio/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brev {

namespace {

std::atomic<unsigned> temporaryCounter{0};

// Saving through a link replaces the file it points to, not the link.
std::string resolveLink(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            std::string target = resolved;
            std::free(resolved);
            return target;
        }
    }
    return path;
}

} // namespace

AtomicFile::~AtomicFile() {
    discard();
}

int AtomicFile::open(const std::string& target) {
    discard();
    target_ = resolveLink(target);
    if (::access(target_.c_str(), F_OK) == 0 && ::access(target_.c_str(), W_OK) != 0)
        return EACCES;

    const auto slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        temporary_ = folder + "." + base + ".tmp" + std::to_string(::getpid()) + "-" +
                     std::to_string(temporaryCounter.fetch_add(1));
        error = writer_.create(temporary_);
    }
    if (error) {
        temporary_.clear();
        return error;
    }
    // The replacement keeps the permissions of the file it replaces.
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        (void)::fchmod(writer_.fd(), old.st_mode & 07777);
    return 0;
}

int AtomicFile::close() {
    return writer_.close();
}

int AtomicFile::replaceTarget() {
    // Swapping with an existing file is as atomic as rename() but skips the file system's
    // forced flush on rename-over; the old content then leaves with the temporary name.
    struct stat current {};
    const bool exists = ::lstat(target_.c_str(), &current) == 0 && S_ISREG(current.st_mode);
    if (exists && ::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(),
                              RENAME_EXCHANGE) == 0) {
        discard();
        return 0;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    temporary_.clear();
    return 0;
}

void AtomicFile::discard() {
    writer_.close();
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

int writeFileAtomically(const std::string& target, std::string_view content) {
    AtomicFile file;
    if (const int error = file.open(target))
        return error;
    file.writer().write(content.data(), content.size());
    if (const int error = file.close())
        return error;
    return file.replaceTarget();
}

} // namespace brev
