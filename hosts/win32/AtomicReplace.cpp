#include "hosts/win32/AtomicReplace.h"

#include <windows.h>

#include "hosts/win32/ErrorTable.h"
#include "hosts/win32/FileIo.h"
#include "hosts/win32/FinalPath.h"
#include "hosts/win32/PathParts.h"
#include "hosts/win32/TemporaryFile.h"
#include "support/RuntimeError.h"

namespace brelmont::win32 {
namespace {

// Refuses before a temporary file exists: a missing directory is "Path not found", and a path
// that names a directory is no file to replace.
void RequireDirectory(const std::string& directory, FaultPlan& faults) {
    if (const DWORD staged = faults.Strike(FaultPoint::DirectoryOpen)) {
        ThrowWin32Error(staged);
    }
    const DWORD attributes = ::GetFileAttributesA(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        ThrowWin32Error(code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ThrowWin32Error(ERROR_PATH_NOT_FOUND);
    }
}

bool TargetExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) {
            return false;
        }
        ThrowWin32Error(code);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    return true;
}

void Flush(HANDLE file, FaultPlan& faults) {
    if (const DWORD staged = faults.Strike(FaultPoint::Flush)) {
        ThrowWin32Error(staged);
    }
    if (!::FlushFileBuffers(file)) {
        ThrowLastError();
    }
}

void PutInPlace(const std::string& path, bool exists, TemporaryFile& replacement,
                FaultPlan& faults) {
    if (const DWORD staged = faults.Strike(FaultPoint::Replace)) {
        ThrowWin32Error(staged);
    }
    // Without a backup name ReplaceFile leaves the old file under its own name whenever it fails.
    // A file removed since it was looked at is simply created.
    if (exists &&
        ::ReplaceFileA(path.c_str(), replacement.Path().c_str(), nullptr, 0, nullptr, nullptr)) {
        replacement.MarkPlaced();
        return;
    }
    if (exists && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        ThrowLastError();
    }
    if (!::MoveFileExA(replacement.Path().c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ThrowLastError();
    }
    replacement.MarkPlaced();
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces,
                           FaultPlan& faults) {
    const std::string finalPath = FinalPathOf(path);
    const PathParts target = SplitPath(finalPath);
    if (target.name.empty() || target.name == "." || target.name == "..") {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    RequireDirectory(target.directory, faults);
    const bool exists = TargetExists(finalPath);
    TemporaryFile replacement(target.directory, target.name, faults);
    for (const std::string_view piece : pieces) {
        WriteAll(replacement.File().Get(), piece, faults);
    }
    Flush(replacement.File().Get(), faults);
    CloseWritten(replacement.File(), faults);
    PutInPlace(finalPath, exists, replacement, faults);
}

}  // namespace brelmont::win32
