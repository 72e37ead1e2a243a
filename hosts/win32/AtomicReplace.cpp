#include "hosts/win32/AtomicReplace.h"

#include <windows.h>

#include <optional>

#include "hosts/win32/ErrorTable.h"
#include "hosts/win32/FileIo.h"
#include "hosts/win32/FinalPath.h"
#include "hosts/win32/InUseWait.h"
#include "hosts/win32/PathParts.h"
#include "hosts/win32/TemporaryFile.h"
#include "support/RuntimeError.h"
#include "win32/WideText.h"

namespace brelmont::win32 {
namespace {

// Refuses before a temporary file exists: a missing directory is "Path not found", and a path
// that names a directory is no file to replace.
void RequireDirectory(const std::string& directory, FaultPlan& faults) {
    if (const DWORD staged = faults.Strike(FaultPoint::DirectoryOpen)) {
        ThrowWin32Error(staged);
    }
    const DWORD attributes = ::GetFileAttributesW(Wide(directory).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        ThrowWin32Error(code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ThrowWin32Error(ERROR_PATH_NOT_FOUND);
    }
}

// The file now at `path` itself (a reparse point is not followed), or nothing when there is none.
std::optional<FileIdentity> CurrentFile(const std::string& path) {
    const UniqueFile file(::CreateFileW(
        Wide(path).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | kNoImpersonation, nullptr));
    if (!file.Valid()) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) {
            return std::nullopt;
        }
        ThrowWin32Error(code);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.Get(), &information)) {
        ThrowLastError();
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    RequireOpenedAs(file.Get(), path);
    return IdentityOf(file.Get());
}

// The name must lead where it led when the caller read the file: another file put there since is
// not the one the new contents were made from.
void RequireUnchanged(const std::optional<FileIdentity>& now,
                      const std::optional<FileIdentity>& expected, const std::string& path) {
    if (now != expected) {
        throw RuntimeError(
            ErrorNumber::PathFileAccessError, "Brelmont",
            "Path/File access error: " + path + " is no longer the file that was read");
    }
}

void Flush(HANDLE file, FaultPlan& faults) {
    if (const DWORD staged = faults.Strike(FaultPoint::Flush)) {
        ThrowWin32Error(staged);
    }
    if (!::FlushFileBuffers(file)) {
        ThrowLastError();
    }
}

// ReplaceFile without a backup name can fail having already removed the old file, leaving the new
// contents under the temporary name ("unable to move replacement"). Deleting that file as after any
// other failure would lose Launch.local altogether; it goes where the old one was instead, and
// where even that fails it stays, named in the error.
DWORD RecoverHalfReplace(const std::string& path, TemporaryFile& replacement) {
    const DWORD left = ::GetFileAttributesW(Wide(path).c_str());
    if (left != INVALID_FILE_ATTRIBUTES || ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        return ERROR_UNABLE_TO_MOVE_REPLACEMENT;  // the old file is still there: nothing lost
    }
    replacement.MarkPlaced();
    if (!::MoveFileExW(Wide(replacement.Path()).c_str(), Wide(path).c_str(),
                       MOVEFILE_WRITE_THROUGH)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, "Brelmont",
                           "Path/File access error: Windows removed " + path +
                               " while replacing it; its new contents are in " +
                               replacement.Path());
    }
    return 0;
}

// 0 when the new file is in place, else the Windows error code.
DWORD PutInPlace(const std::string& path, bool exists, TemporaryFile& replacement,
                 FaultPlan& faults) {
    DWORD code = faults.Strike(FaultPoint::Replace);
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        ::DeleteFileW(Wide(path).c_str());  // where a real failure of that kind leaves the file
    }
    // Without a backup name ReplaceFile leaves the old file under its own name whenever it fails
    // but one way, taken care of below.
    const bool placed =
        code == 0 &&
        (exists ? ::ReplaceFileW(Wide(path).c_str(), Wide(replacement.Path()).c_str(), nullptr, 0,
                                 nullptr, nullptr) != FALSE
                // A new file never goes over one that appeared since the name was looked at.
                : ::MoveFileExW(Wide(replacement.Path()).c_str(), Wide(path).c_str(),
                                MOVEFILE_WRITE_THROUGH) != FALSE);
    if (placed) {
        replacement.MarkPlaced();
        return 0;
    }
    if (code == 0) {
        code = ::GetLastError();
    }
    return exists && code == ERROR_UNABLE_TO_MOVE_REPLACEMENT
               ? RecoverHalfReplace(path, replacement)
               : code;
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           const std::optional<FoundFile>& found, bool strict,
                           std::chrono::milliseconds inUseWait, FaultPlan& faults) {
    const std::string finalPath = FinalPathOf(path, strict);
    const PathParts target = SplitPath(finalPath);
    if (target.name.empty() || target.name == "." || target.name == "..") {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    RequireDirectory(target.directory, faults);
    const std::optional<FileIdentity> old = CurrentFile(finalPath);
    if (found) {
        RequireUnchanged(old, found->identity, path);
    }
    TemporaryFile replacement(target.directory, target.name, old ? finalPath : std::string(),
                              faults);
    // The folder could have been swapped for a link since it was walked.
    RequireOpenedAs(replacement.File().Get(), replacement.Path());
    for (const std::string_view piece : pieces) {
        WriteAll(replacement.File().Get(), piece, faults);
    }
    Flush(replacement.File().Get(), faults);
    CloseWritten(replacement.File(), faults);
    // Another program holding the file without sharing it is waited for; whatever stands at the
    // name once it lets go must still be the file that was read.
    RetryWhileInUse(
        [&] {
            RequireUnchanged(CurrentFile(finalPath), old, path);
            return PutInPlace(finalPath, old.has_value(), replacement, faults);
        },
        path, inUseWait);
}

}  // namespace brelmont::win32
