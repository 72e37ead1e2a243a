#include "ui/qtloader/SharedLibrary.h"

#include <dlfcn.h>

#include <utility>

#include "ui/qtloader/ModuleUnavailable.h"

namespace brelmont::qtloader {

SharedLibrary SharedLibrary::FromDescriptor(int fd, const std::string& name) {
    const std::string viaDescriptor = "/proc/self/fd/" + std::to_string(fd);
    // RTLD_NOW: a missing library or symbol shows here, where the run can still take the console,
    // not in the middle of it. RTLD_NODELETE: Qt leaves threads and exit handlers behind that
    // would run in unmapped code, so the library stays mapped until the process ends.
    void* handle = ::dlopen(viaDescriptor.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        const char* error = ::dlerror();
        std::string reason = error != nullptr ? error : "not loadable";
        // The loader names the file by the descriptor's path, which says nothing to a reader.
        if (const std::string prefix = viaDescriptor + ": "; reason.starts_with(prefix)) {
            reason.erase(0, prefix.size());
        }
        throw ModuleUnavailable(name + ": " + reason);
    }
    return SharedLibrary(handle);
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) {
            ::dlclose(handle_);
        }
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
    }
}

void* SharedLibrary::Symbol(const char* name) const {
    return ::dlsym(handle_, name);
}

}  // namespace brelmont::qtloader
