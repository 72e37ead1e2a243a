#include "hosts/win32/Win32FileSystem.h"

#include "hosts/common/WindowsPathKind.h"
#include "hosts/win32/AtomicReplace.h"
#include "hosts/win32/DirectoryLock.h"
#include "hosts/win32/ErrorTable.h"
#include "hosts/win32/FileIo.h"
#include "hosts/win32/FileMatch.h"
#include "hosts/win32/FinalPath.h"
#include "hosts/win32/GrownText.h"
#include "hosts/win32/PathParts.h"
#include "support/RuntimeError.h"
#include "support/Utf16.h"
#include "win32/WideText.h"

namespace brelmont::win32 {

namespace {

// A disk file: not a pipe, console or device that a name could have been swapped for.
void RequireDiskFile(HANDLE file) {
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
}

}  // namespace

std::string Win32FileSystem::PathFromFileText(const std::string& text) const {
    return IsUtf8(text) ? text : Utf8FromAnsi(text);
}

void Win32FileSystem::NamedByCaller(const std::string& path) {
    switch (host::WindowsPathKindOf(path)) {
        case host::WindowsPathKind::Device:
            // A pipe, a volume or a raw disk is no folder of Kelvane's: whoever wrote the name
            // meant the run to open something else.
            throw RuntimeError(
                ErrorNumber::BadFileNameOrNumber, "Brelmont",
                "Bad file name or number: " + path + " names a device, not a folder");
        case host::WindowsPathKind::Share:
            // The server, not this machine, decides what is behind the name, and an elevated run
            // would hand it the machine's or the administrator's identity.
            if (elevated_) {
                throw RuntimeError(ErrorNumber::PermissionDenied, "Brelmont",
                                   "Permission denied: an elevated run edits no files on a network "
                                   "share (" +
                                       path + ")");
            }
            return;
        case host::WindowsPathKind::Drive:
        case host::WindowsPathKind::Relative:
            return;
    }
}

void Win32FileSystem::NamedBy(const std::string& path, const std::string& /*source*/) {
    NamedByCaller(path);
    dataDirectories_.push_back(path);
}

bool Win32FileSystem::Strict(const std::string& path) const {
    if (!elevated_) {
        return false;
    }
    const PathParts parts = SplitPath(path);
    for (const std::string& directory : dataDirectories_) {
        if (::CompareStringOrdinal(Wide(parts.directory).c_str(), -1, Wide(directory).c_str(), -1,
                                   TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

bool Win32FileSystem::OrdinaryFileExists(const std::string& path) {
    const bool exists = OrdinaryFileMatches(path);
    if (!exists && path.find_first_of("*?") == std::string::npos) {
        found_[path] = FoundFile{};
    }
    return exists;
}

std::uint64_t Win32FileSystem::FileLength(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        ThrowLastError();
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Win32FileSystem::ReadFile(const std::string& path, std::uint64_t length) {
    const std::string meant = FinalPathOf(path, Strict(path));
    const UniqueFile file = OpenFile(meant, GENERIC_READ, OPEN_EXISTING, faults_, 0, inUseWait_);
    RequireDiskFile(file.Get());
    RequireOpenedAs(file.Get(), meant);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) {
        ThrowLastError();
    }
    // Known short before a byte is read, and before a buffer of a bogus length is asked for.
    if (static_cast<std::uint64_t>(size.QuadPart) < length) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile);
    }
    std::string bytes = ReadExactly(file.Get(), length, faults_);
    found_[path] = FoundFile{IdentityOf(file.Get())};
    return bytes;
}

void Win32FileSystem::ReplaceFileContents(const std::string& path,
                                          std::span<const std::string_view> pieces) {
    if (beforeReplace_) {
        beforeReplace_();
    }
    const auto seen = found_.find(path);
    const std::optional<FoundFile> found =
        seen != found_.end() ? std::optional(seen->second) : std::nullopt;
    // Only Launch.local is ever replaced: an elevated run trusts only administrators' links there.
    ReplaceFileAtomically(path, pieces, found, elevated_, inUseWait_, faults_);
    found_.erase(path);
}

void Win32FileSystem::AppendToFile(const std::string& path, std::string_view contents) {
    // Append access alone: every write lands at the end, also behind another writer's lines. The
    // session log is never written through a link at its name, which whoever may write its folder
    // could point anywhere, nor, elevated, through one on the way that an administrator did not
    // make.
    const std::string meant = FinalPathOf(path, elevated_);
    UniqueFile file =
        OpenFile(meant, FILE_APPEND_DATA, OPEN_ALWAYS, faults_, FILE_FLAG_OPEN_REPARSE_POINT);
    RequireDiskFile(file.Get());
    RequireOpenedAs(file.Get(), meant);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.Get(), &information)) {
        ThrowLastError();
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    WriteAll(file.Get(), contents, faults_);
    CloseWritten(file, faults_);
}

bool Win32FileSystem::IsDirectory(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            return false;
        }
        ThrowWin32Error(code);
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Win32FileSystem::CurrentDirectory() {
    const std::wstring current =
        GrownText([](wchar_t* text, DWORD size) { return ::GetCurrentDirectoryW(size, text); });
    if (current.empty()) {
        ThrowLastError();
    }
    return Narrow(current);
}

void Win32FileSystem::ChangeDirectory(const std::string& path) {
    if (!::SetCurrentDirectoryW(Wide(path).c_str())) {
        const DWORD code = ::GetLastError();
        // Only a directory can be gone here: a missing one is a missing path.
        ThrowWin32Error(code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code);
    }
}

std::unique_ptr<platform::DirectoryLock> Win32FileSystem::LockDirectory(const std::string& path) {
    return LockDirectoryExclusively(FinalPathOf(path, elevated_), lockWait_, faults_);
}

}  // namespace brelmont::win32
