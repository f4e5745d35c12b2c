// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
// libsndfile and libsoxr, loaded when a file first needs them. The functions the decoder and the
// FLAC writer call are defined here under their own names and pass each call on, so a program
// that only reads and writes 16-bit WAV (every plain render) never loads either library, nor
// the codec libraries behind libsndfile.
#include "base/shared_library.h"

#include <sndfile.h>
#include <soxr.h>

namespace {

using brev::resolve;

struct Sndfile {
    decltype(&sf_open) open;
    decltype(&sf_open_virtual) openVirtual;
    decltype(&sf_close) close;
    decltype(&sf_command) command;
    decltype(&sf_error) error;
    decltype(&sf_error_number) errorNumber;
    decltype(&sf_strerror) strerror;
    decltype(&sf_readf_float) readfFloat;
    decltype(&sf_writef_short) writefShort;
};

bool resolveSndfile(void* library, Sndfile& f) {
    return resolve(library, "sf_open", f.open) &&
           resolve(library, "sf_open_virtual", f.openVirtual) &&
           resolve(library, "sf_close", f.close) && resolve(library, "sf_command", f.command) &&
           resolve(library, "sf_error", f.error) &&
           resolve(library, "sf_error_number", f.errorNumber) &&
           resolve(library, "sf_strerror", f.strerror) &&
           resolve(library, "sf_readf_float", f.readfFloat) &&
           resolve(library, "sf_writef_short", f.writefShort);
}

struct Soxr {
    decltype(&soxr_create) create;
    decltype(&soxr_delete) destroy;
    decltype(&soxr_process) process;
    decltype(&soxr_io_spec) ioSpec;
    decltype(&soxr_quality_spec) qualitySpec;
    decltype(&soxr_runtime_spec) runtimeSpec;
};

bool resolveSoxr(void* library, Soxr& f) {
    return resolve(library, "soxr_create", f.create) &&
           resolve(library, "soxr_delete", f.destroy) &&
           resolve(library, "soxr_process", f.process) &&
           resolve(library, "soxr_io_spec", f.ioSpec) &&
           resolve(library, "soxr_quality_spec", f.qualitySpec) &&
           resolve(library, "soxr_runtime_spec", f.runtimeSpec);
}

const brev::LoadedLibrary<Sndfile>& soundFiles() {
    return brev::loadLibraryOnce("libsndfile.so.1", resolveSndfile);
}

const brev::LoadedLibrary<Soxr>& resampling() {
    return brev::loadLibraryOnce("libsoxr.so.0", resolveSoxr);
}

// libmpg123's handle, its parameter and flag numbers (stable in its interface).
struct Mpg123Handle;
constexpr int kMpg123AddFlags = 2;
constexpr long kMpg123Quiet = 0x20;
constexpr int kMpg123Error = -1;

struct Mpg123 {
    int (*openHandle)(Mpg123Handle*, void*);
    int (*param)(Mpg123Handle*, int, long, double);
};

bool resolveMpg123(void* library, Mpg123& f) {
    return resolve(library, "mpg123_open_handle", f.openHandle) &&
           resolve(library, "mpg123_param2", f.param);
}

} // namespace

// Without the library nothing opens, and the error functions say why.
extern "C" {

SNDFILE* sf_open(const char* path, int mode, SF_INFO* info) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.open(path, mode, info) : nullptr;
}

SNDFILE* sf_open_virtual(SF_VIRTUAL_IO* io, int mode, SF_INFO* info, void* user) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.openVirtual(io, mode, info, user) : nullptr;
}

int sf_close(SNDFILE* file) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.close(file) : SF_ERR_SYSTEM;
}

int sf_command(SNDFILE* file, int command, void* data, int size) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.command(file, command, data, size) : SF_ERR_SYSTEM;
}

int sf_error(SNDFILE* file) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.error(file) : SF_ERR_SYSTEM;
}

const char* sf_error_number(int number) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.errorNumber(number) : f.error.c_str();
}

const char* sf_strerror(SNDFILE* file) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.strerror(file) : f.error.c_str();
}

sf_count_t sf_readf_float(SNDFILE* file, float* samples, sf_count_t frames) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.readfFloat(file, samples, frames) : 0;
}

sf_count_t sf_writef_short(SNDFILE* file, const short* samples, sf_count_t frames) {
    const auto& f = soundFiles();
    return f.ok() ? f.functions.writefShort(file, samples, frames) : 0;
}

soxr_t soxr_create(double inputRate, double outputRate, unsigned channels, soxr_error_t* error,
                   const soxr_io_spec_t* io, const soxr_quality_spec_t* quality,
                   const soxr_runtime_spec_t* runtime) {
    const auto& f = resampling();
    if (f.ok())
        return f.functions.create(inputRate, outputRate, channels, error, io, quality, runtime);
    if (error)
        *error = f.error.c_str();
    return nullptr;
}

void soxr_delete(soxr_t resampler) {
    if (const auto& f = resampling(); f.ok())
        f.functions.destroy(resampler);
}

soxr_error_t soxr_process(soxr_t resampler, soxr_in_t input, size_t inputFrames, size_t* inputUsed,
                          soxr_out_t output, size_t outputFrames, size_t* outputDone) {
    const auto& f = resampling();
    if (!f.ok())
        return f.error.c_str();
    return f.functions.process(resampler, input, inputFrames, inputUsed, output, outputFrames,
                               outputDone);
}

soxr_io_spec_t soxr_io_spec(soxr_datatype_t input, soxr_datatype_t output) {
    const auto& f = resampling();
    return f.ok() ? f.functions.ioSpec(input, output) : soxr_io_spec_t{};
}

soxr_quality_spec_t soxr_quality_spec(unsigned long recipe, unsigned long flags) {
    const auto& f = resampling();
    return f.ok() ? f.functions.qualitySpec(recipe, flags) : soxr_quality_spec_t{};
}

soxr_runtime_spec_t soxr_runtime_spec(unsigned threads) {
    const auto& f = resampling();
    return f.ok() ? f.functions.runtimeSpec(threads) : soxr_runtime_spec_t{};
}

// libmpg123, which libsndfile uses for MP3, writes notes and warnings on stderr unless its
// handle is made quiet, and libsndfile does not do that. The programs export this definition
// (exported_symbols.list), so libsndfile's call comes here: the handle is made quiet, then
// opened by libmpg123's own function.
int mpg123_open_handle(Mpg123Handle* handle, void* io) {
    const auto& f = brev::loadLibraryOnce("libmpg123.so.0", resolveMpg123);
    if (!f.ok())
        return kMpg123Error;
    f.functions.param(handle, kMpg123AddFlags, kMpg123Quiet, 0);
    return f.functions.openHandle(handle, io);
}

} // extern "C"
