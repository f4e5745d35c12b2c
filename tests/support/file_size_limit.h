#pragma once

#include <csignal>
#include <sys/resource.h>

namespace brev::test {

// Files this process writes stop growing at bytes, as on a full disk, for as long as the object
// lives; the limit binds root too. SIGXFSZ is ignored meanwhile, so a write fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    struct rlimit saved_ {};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace brev::test
