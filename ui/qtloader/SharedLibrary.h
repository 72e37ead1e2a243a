#pragma once

#include <string>

namespace brelmont::qtloader {

// One shared library loaded into the process, given back to the dynamic loader by the destructor.
class SharedLibrary {
  public:
    // Loads the library open at `fd` through that descriptor, never by a name the loader would
    // look up or open again: what is loaded is the file the caller opened and checked. `name`
    // stands for the file in the reason of ModuleUnavailable, thrown when it cannot be loaded.
    static SharedLibrary FromDescriptor(int fd, const std::string& name);

    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary();

    // The address of the symbol the library exports under `name`; null when it has none.
    void* Symbol(const char* name) const;

  private:
    explicit SharedLibrary(void* handle) noexcept : handle_(handle) {}

    void* handle_ = nullptr;
};

}  // namespace brelmont::qtloader
