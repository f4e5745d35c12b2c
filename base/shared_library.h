// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <dlfcn.h>
#include <mutex>
#include <string>

namespace brev {

// The symbol's address as the pointer type of function; false when it is missing.
template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// Functions taken from a shared library, and why they could not be when error is set.
template <typename Functions> struct LoadedLibrary {
    Functions functions{};
    std::string error;

    bool ok() const { return error.empty(); }
};

// Opens the library on the first call and keeps it for the life of the process; resolveAll
// fills the functions from it and says whether all of them were there.
template <typename Functions>
const LoadedLibrary<Functions>& loadLibraryOnce(const char* name,
                                                bool (*resolveAll)(void*, Functions&)) {
    static std::once_flag once;
    static LoadedLibrary<Functions> loaded;
    std::call_once(once, [&] {
        void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            const char* reason = ::dlerror();
            loaded.error = std::string("The library ") + name +
                           " could not be loaded: " + (reason ? reason : "unknown reason");
        } else if (!resolveAll(library, loaded.functions)) {
            loaded.error = std::string("The library ") + name + " lacks a function.";
        }
    });
    return loaded;
}

} // namespace brev
