#pragma once

// The files the measurements work on: generated Launch.local texts, a large Kelvane.conf, and the
// disk operations around them, all on real files so that page cache and flushes count as they do
// for the program.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace brelmont::bench {

// What the add-on's own block in the middle of a generated Launch.local is.
enum class SampleBlock {
    None,           // not there: an install adds it
    OlderRevision,  // [Sample-1.1]: an install replaces it
    SameRevision,   // [Sample-1.2]: an install finds it registered, an uninstall removes it
};

inline constexpr std::string_view kLoaderText =
    "[Sample-1.2]\r\nrun=C:\\Addons\\Sample\\sample.exe\r\nmenu=Add-ons\\Sample\\Open\r\n"
    "/ [EOA]\r\n";

// A Launch.local of about `size` bytes: add-on blocks of 300 bytes (an empty line included),
// with the sample add-on's block, when there is one, halfway down.
std::string LaunchText(std::size_t size, SampleBlock sample);

// A Kelvane.conf of about `size` bytes: sections of key lines, INSTANCE first, DATADIR last.
std::string ConfText(std::size_t size, std::string_view dataDirectory);

// "4KiB", "64MiB".
std::string SizeName(std::size_t size);

// Puts `bytes` at `path` and flushes them, so that each measured run starts from the same clean
// page cache state.
void WriteFlushed(const std::filesystem::path& path, std::string_view bytes);

// The physical floor of an edit: reads the whole file at `from` and writes it to a new file at
// `to`, flushed to disk as the program's replace flushes. Returns the bytes copied.
std::size_t CopyFlushed(const std::filesystem::path& from, const std::filesystem::path& to);

// A fresh directory under the system's temporary directory, removed by the destructor.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const std::string& stem);
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory();
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The kind of file system at `path` ("ext4", "tmpfs", ...), since flush costs depend on it.
std::string FileSystemKind(const std::filesystem::path& path);

}  // namespace brelmont::bench
