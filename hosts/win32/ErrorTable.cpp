#include "hosts/win32/ErrorTable.h"

#include <array>

#include "support/RuntimeError.h"

namespace brelmont::win32 {
namespace {

// Not among the numbers the core names itself; the classic file statements gave it for a drive
// without its medium.
constexpr std::int32_t kDiskNotReady = 71;
// ERROR_DISK_QUOTA_EXCEEDED, which MinGW's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

struct CodeRow {
    DWORD code;
    std::int32_t number;
};

constexpr std::array kCodeTable{
    CodeRow{ERROR_FILE_NOT_FOUND, ErrorNumber::FileNotFound},
    CodeRow{ERROR_PATH_NOT_FOUND, ErrorNumber::PathNotFound},
    CodeRow{ERROR_DIRECTORY, ErrorNumber::PathNotFound},
    CodeRow{ERROR_BAD_NETPATH, ErrorNumber::PathNotFound},
    CodeRow{ERROR_BAD_NET_NAME, ErrorNumber::PathNotFound},
    CodeRow{ERROR_ACCESS_DENIED, ErrorNumber::PermissionDenied},
    CodeRow{ERROR_SHARING_VIOLATION, ErrorNumber::PermissionDenied},
    CodeRow{ERROR_LOCK_VIOLATION, ErrorNumber::PermissionDenied},
    CodeRow{ERROR_WRITE_PROTECT, ErrorNumber::PermissionDenied},
    CodeRow{ERROR_UNABLE_TO_REMOVE_REPLACED, ErrorNumber::PermissionDenied},
    CodeRow{ERROR_DISK_FULL, ErrorNumber::DiskFull},
    CodeRow{ERROR_HANDLE_DISK_FULL, ErrorNumber::DiskFull},
    CodeRow{kDiskQuotaExceeded, ErrorNumber::DiskFull},
    CodeRow{ERROR_NOT_ENOUGH_MEMORY, ErrorNumber::OutOfMemory},
    CodeRow{ERROR_OUTOFMEMORY, ErrorNumber::OutOfMemory},
    CodeRow{ERROR_NOT_ENOUGH_QUOTA, ErrorNumber::OutOfMemory},
    CodeRow{ERROR_INVALID_PARAMETER, ErrorNumber::InvalidProcedureCall},
    CodeRow{ERROR_INVALID_NAME, ErrorNumber::BadFileNameOrNumber},
    CodeRow{ERROR_BAD_PATHNAME, ErrorNumber::BadFileNameOrNumber},
    CodeRow{ERROR_INVALID_HANDLE, ErrorNumber::BadFileNameOrNumber},
    CodeRow{ERROR_FILENAME_EXCED_RANGE, ErrorNumber::PathFileAccessError},
    CodeRow{ERROR_CANNOT_MAKE, ErrorNumber::PathFileAccessError},
    CodeRow{ERROR_UNABLE_TO_MOVE_REPLACEMENT, ErrorNumber::PathFileAccessError},
    CodeRow{ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, ErrorNumber::PathFileAccessError},
    CodeRow{ERROR_FILE_EXISTS, ErrorNumber::FileAlreadyExists},
    CodeRow{ERROR_ALREADY_EXISTS, ErrorNumber::FileAlreadyExists},
    CodeRow{ERROR_TOO_MANY_OPEN_FILES, ErrorNumber::TooManyFiles},
    CodeRow{ERROR_NOT_SAME_DEVICE, ErrorNumber::CannotRenameWithDifferentDrive},
    CodeRow{ERROR_HANDLE_EOF, ErrorNumber::InputPastEndOfFile},
    CodeRow{ERROR_INVALID_DRIVE, ErrorNumber::DeviceUnavailable},
    CodeRow{ERROR_DEV_NOT_EXIST, ErrorNumber::DeviceUnavailable},
    CodeRow{ERROR_NOT_READY, kDiskNotReady},
    CodeRow{ERROR_CRC, ErrorNumber::DeviceIoError},
    CodeRow{ERROR_READ_FAULT, ErrorNumber::DeviceIoError},
    CodeRow{ERROR_WRITE_FAULT, ErrorNumber::DeviceIoError},
    CodeRow{ERROR_GEN_FAILURE, ErrorNumber::DeviceIoError},
    CodeRow{ERROR_IO_DEVICE, ErrorNumber::DeviceIoError},
};

}  // namespace

std::int32_t ErrorNumberFor(DWORD code) {
    for (const CodeRow& row : kCodeTable) {
        if (row.code == code) {
            return row.number;
        }
    }
    // The catch-all the classic file statements gave for failures they had no number for.
    return ErrorNumber::DeviceIoError;
}

void ThrowWin32Error(DWORD code) {
    throw RuntimeError(ErrorNumberFor(code));
}

void ThrowLastError() {
    ThrowWin32Error(::GetLastError());
}

}  // namespace brelmont::win32
