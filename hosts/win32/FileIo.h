#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "hosts/win32/FaultPlan.h"
#include "hosts/win32/UniqueHandle.h"

namespace brelmont::win32 {

// CreateFileA with the Open fault point; throws the mapped error when the file cannot be had.
UniqueFile OpenFile(const std::string& path, DWORD access, DWORD disposition, FaultPlan& faults);

// Writes all of `bytes` at the file pointer, in pieces of at most kWriteChunk bytes.
void WriteAll(HANDLE file, std::string_view bytes, FaultPlan& faults);

// Exactly `length` bytes from the file pointer; "Input past end of file" when fewer remain.
std::string ReadExactly(HANDLE file, std::uint64_t length, FaultPlan& faults);

// Closes a file that was written to and throws what the close reports.
void CloseWritten(UniqueFile& file, FaultPlan& faults);

}  // namespace brelmont::win32
