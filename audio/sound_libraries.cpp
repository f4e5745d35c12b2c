// libsndfile and libsoxr, loaded when a file first needs them. The functions the decoder and the
// FLAC writer call are defined here under their own names and pass each call on, so a program
// that only reads and writes 16-bit WAV (every plain render) never loads either library, nor
// the codec libraries behind libsndfile.
#include <dlfcn.h>
#include <mutex>
#include <sndfile.h>
#include <soxr.h>
#include <string>

namespace {

template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// Null when the library or one of its functions is missing; error then says which.
void* openLibrary(const char* name, std::string& error) {
    void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = ::dlerror();
        error = std::string("The library ") + name +
                " could not be loaded: " + (reason ? reason : "unknown reason");
    }
    return library;
}

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

struct Soxr {
    decltype(&soxr_create) create;
    decltype(&soxr_delete) destroy;
    decltype(&soxr_process) process;
    decltype(&soxr_io_spec) ioSpec;
    decltype(&soxr_quality_spec) qualitySpec;
    decltype(&soxr_runtime_spec) runtimeSpec;
};

std::string sndfileError;
std::string soxrError;

const Sndfile* soundFiles() {
    static std::once_flag once;
    static Sndfile functions{};
    static bool complete = false;
    std::call_once(once, [] {
        void* library = openLibrary("libsndfile.so.1", sndfileError);
        Sndfile& f = functions;
        complete = library && resolve(library, "sf_open", f.open) &&
                   resolve(library, "sf_open_virtual", f.openVirtual) &&
                   resolve(library, "sf_close", f.close) &&
                   resolve(library, "sf_command", f.command) &&
                   resolve(library, "sf_error", f.error) &&
                   resolve(library, "sf_error_number", f.errorNumber) &&
                   resolve(library, "sf_strerror", f.strerror) &&
                   resolve(library, "sf_readf_float", f.readfFloat) &&
                   resolve(library, "sf_writef_short", f.writefShort);
        if (library && !complete)
            sndfileError = "The library libsndfile.so.1 lacks a function.";
    });
    return complete ? &functions : nullptr;
}

const Soxr* resampling() {
    static std::once_flag once;
    static Soxr functions{};
    static bool complete = false;
    std::call_once(once, [] {
        void* library = openLibrary("libsoxr.so.0", soxrError);
        Soxr& f = functions;
        complete = library && resolve(library, "soxr_create", f.create) &&
                   resolve(library, "soxr_delete", f.destroy) &&
                   resolve(library, "soxr_process", f.process) &&
                   resolve(library, "soxr_io_spec", f.ioSpec) &&
                   resolve(library, "soxr_quality_spec", f.qualitySpec) &&
                   resolve(library, "soxr_runtime_spec", f.runtimeSpec);
        if (library && !complete)
            soxrError = "The library libsoxr.so.0 lacks a function.";
    });
    return complete ? &functions : nullptr;
}

} // namespace

// Without the library nothing opens, and the error functions say why.
extern "C" {

SNDFILE* sf_open(const char* path, int mode, SF_INFO* info) {
    const Sndfile* f = soundFiles();
    return f ? f->open(path, mode, info) : nullptr;
}

SNDFILE* sf_open_virtual(SF_VIRTUAL_IO* io, int mode, SF_INFO* info, void* user) {
    const Sndfile* f = soundFiles();
    return f ? f->openVirtual(io, mode, info, user) : nullptr;
}

int sf_close(SNDFILE* file) {
    const Sndfile* f = soundFiles();
    return f ? f->close(file) : SF_ERR_SYSTEM;
}

int sf_command(SNDFILE* file, int command, void* data, int size) {
    const Sndfile* f = soundFiles();
    return f ? f->command(file, command, data, size) : SF_ERR_SYSTEM;
}

int sf_error(SNDFILE* file) {
    const Sndfile* f = soundFiles();
    return f ? f->error(file) : SF_ERR_SYSTEM;
}

const char* sf_error_number(int number) {
    const Sndfile* f = soundFiles();
    return f ? f->errorNumber(number) : sndfileError.c_str();
}

const char* sf_strerror(SNDFILE* file) {
    const Sndfile* f = soundFiles();
    return f ? f->strerror(file) : sndfileError.c_str();
}

sf_count_t sf_readf_float(SNDFILE* file, float* samples, sf_count_t frames) {
    const Sndfile* f = soundFiles();
    return f ? f->readfFloat(file, samples, frames) : 0;
}

sf_count_t sf_writef_short(SNDFILE* file, const short* samples, sf_count_t frames) {
    const Sndfile* f = soundFiles();
    return f ? f->writefShort(file, samples, frames) : 0;
}

soxr_t soxr_create(double inputRate, double outputRate, unsigned channels, soxr_error_t* error,
                   const soxr_io_spec_t* io, const soxr_quality_spec_t* quality,
                   const soxr_runtime_spec_t* runtime) {
    const Soxr* f = resampling();
    if (f)
        return f->create(inputRate, outputRate, channels, error, io, quality, runtime);
    if (error)
        *error = soxrError.c_str();
    return nullptr;
}

void soxr_delete(soxr_t resampler) {
    if (const Soxr* f = resampling())
        f->destroy(resampler);
}

soxr_error_t soxr_process(soxr_t resampler, soxr_in_t input, size_t inputFrames, size_t* inputUsed,
                          soxr_out_t output, size_t outputFrames, size_t* outputDone) {
    const Soxr* f = resampling();
    if (!f)
        return soxrError.c_str();
    return f->process(resampler, input, inputFrames, inputUsed, output, outputFrames, outputDone);
}

soxr_io_spec_t soxr_io_spec(soxr_datatype_t input, soxr_datatype_t output) {
    const Soxr* f = resampling();
    return f ? f->ioSpec(input, output) : soxr_io_spec_t{};
}

soxr_quality_spec_t soxr_quality_spec(unsigned long recipe, unsigned long flags) {
    const Soxr* f = resampling();
    return f ? f->qualitySpec(recipe, flags) : soxr_quality_spec_t{};
}

soxr_runtime_spec_t soxr_runtime_spec(unsigned threads) {
    const Soxr* f = resampling();
    return f ? f->runtimeSpec(threads) : soxr_runtime_spec_t{};
}

} // extern "C"
