#include "TempFileSystem.h"

#include <fstream>
#include <iterator>

#include "support/RuntimeError.h"

namespace brelmont::qttest {
namespace {

namespace fs = std::filesystem;

struct NoLock final : platform::DirectoryLock {};

void Write(const fs::path& file, std::string_view contents, std::ios::openmode mode) {
    std::ofstream out(file, std::ios::binary | mode);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw RuntimeError(ErrorNumber::PathNotFound, "TempFileSystem");
    }
}

}  // namespace

std::string TempFileSystem::HostPath(const std::string& path) const {
    std::string host = path;
    for (char& c : host) {
        c = c == '\\' ? '/' : c;
    }
    if (host.size() >= 2 && host[1] == ':') {
        return (root_ / host.substr(0, 1)).string() + host.substr(2);
    }
    return host;
}

void TempFileSystem::Put(const std::string& path, std::string_view contents) {
    const fs::path file(HostPath(path));
    fs::create_directories(file.parent_path());
    Write(file, contents, std::ios::trunc);
}

std::optional<std::string> TempFileSystem::Get(const std::string& path) const {
    std::ifstream in(HostPath(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempFileSystem::OrdinaryFileExists(const std::string& path) {
    return fs::is_regular_file(HostPath(path));
}

std::uint64_t TempFileSystem::FileLength(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(HostPath(path), error);
    if (error) {
        throw RuntimeError(ErrorNumber::FileNotFound, "TempFileSystem");
    }
    return size;
}

std::string TempFileSystem::ReadFile(const std::string& path, std::uint64_t length) {
    const std::optional<std::string> contents = Get(path);
    if (!contents || contents->size() < length) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile, "TempFileSystem");
    }
    return contents->substr(0, length);
}

void TempFileSystem::ReplaceFileContents(const std::string& path,
                                         std::span<const std::string_view> pieces) {
    std::string contents;
    for (const std::string_view piece : pieces) {
        contents += piece;
    }
    Write(HostPath(path), contents, std::ios::trunc);
}

void TempFileSystem::AppendToFile(const std::string& path, std::string_view contents) {
    Write(HostPath(path), contents, std::ios::app);
}

bool TempFileSystem::IsDirectory(const std::string& path) {
    return fs::is_directory(HostPath(path));
}

std::string TempFileSystem::CurrentDirectory() {
    return fs::current_path().string();
}

void TempFileSystem::ChangeDirectory(const std::string& path) {
    fs::current_path(HostPath(path));
}

std::unique_ptr<platform::DirectoryLock> TempFileSystem::LockDirectory(const std::string&) {
    return std::make_unique<NoLock>();
}

}  // namespace brelmont::qttest
