#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hosts/win32/FaultPlan.h"
#include "hosts/win32/UniqueHandle.h"

namespace brelmont::win32 {

// Which file a name led to: the same volume and file index is the same file, whatever its name now.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

// What a caller found at a name before it replaces the file there: the file it read, or nothing.
struct FoundFile {
    std::optional<FileIdentity> identity;  // empty: no file was there
};

FileIdentity IdentityOf(HANDLE file);

// CreateFileW with the Open fault point; throws the mapped error when the file cannot be had.
// `flags`: added to the ordinary file's attribute. A file that another program holds without
// sharing it is tried again for up to `inUseWait`.
UniqueFile OpenFile(const std::string& path, DWORD access, DWORD disposition, FaultPlan& faults,
                    DWORD flags = 0, std::chrono::milliseconds inUseWait = {});

// Writes all of `bytes` at the file pointer, in pieces of at most kWriteChunk bytes.
void WriteAll(HANDLE file, std::string_view bytes, FaultPlan& faults);

// Exactly `length` bytes from the file pointer; "Input past end of file" when fewer remain.
std::string ReadExactly(HANDLE file, std::uint64_t length, FaultPlan& faults);

// Closes a file that was written to and throws what the close reports.
void CloseWritten(UniqueFile& file, FaultPlan& faults);

}  // namespace brelmont::win32
