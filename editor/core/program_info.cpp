#include "editor/core/program_info.h"

#include "audio/error.h"

#include <string_view>

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

std::string helpFilePath(const std::string& programDirectory) {
    std::string path = programDirectory;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path + "brevedit.chm";
}

std::string helpMissingMessage(const std::string& helpPath) {
    return helpPath + " seems to be missing";
}

} // namespace brev
