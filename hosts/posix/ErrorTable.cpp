#include "hosts/posix/ErrorTable.h"

#include <array>
#include <cerrno>

#include "hosts/posix/PathParts.h"
#include "support/RuntimeError.h"

namespace brelmont::posix {
namespace {

struct ErrnoRow {
    int errnoValue;
    std::int32_t number;
};

constexpr std::array kErrnoTable{
    ErrnoRow{ENOENT, ErrorNumber::FileNotFound},
    ErrnoRow{ENOTDIR, ErrorNumber::PathNotFound},
    ErrnoRow{EACCES, ErrorNumber::PermissionDenied},
    ErrnoRow{EPERM, ErrorNumber::PermissionDenied},
    ErrnoRow{EROFS, ErrorNumber::PermissionDenied},
    ErrnoRow{EBUSY, ErrorNumber::PermissionDenied},
    ErrnoRow{ETXTBSY, ErrorNumber::PermissionDenied},
    ErrnoRow{ENOSPC, ErrorNumber::DiskFull},
    ErrnoRow{EDQUOT, ErrorNumber::DiskFull},
    ErrnoRow{EFBIG, ErrorNumber::DiskFull},
    ErrnoRow{EIO, ErrorNumber::DeviceIoError},
    ErrnoRow{ENOMEM, ErrorNumber::OutOfMemory},
    ErrnoRow{EISDIR, ErrorNumber::PathFileAccessError},
    ErrnoRow{ENAMETOOLONG, ErrorNumber::PathFileAccessError},
    ErrnoRow{ELOOP, ErrorNumber::PathFileAccessError},
    ErrnoRow{EINVAL, ErrorNumber::InvalidProcedureCall},
    ErrnoRow{EMFILE, ErrorNumber::TooManyFiles},
    ErrnoRow{ENFILE, ErrorNumber::TooManyFiles},
    ErrnoRow{EEXIST, ErrorNumber::FileAlreadyExists},
    ErrnoRow{EXDEV, ErrorNumber::CannotRenameWithDifferentDrive},
};

}  // namespace

std::int32_t ErrorNumberFor(int errnoValue, bool directoryMissing) {
    if (errnoValue == ENOENT && directoryMissing) {
        return ErrorNumber::PathNotFound;
    }
    for (const ErrnoRow& row : kErrnoTable) {
        if (row.errnoValue == errnoValue) {
            return row.number;
        }
    }
    // The catch-all the classic file statements gave for failures they had no number for.
    return ErrorNumber::DeviceIoError;
}

void ThrowErrno(int errnoValue, bool directoryMissing) {
    throw RuntimeError(ErrorNumberFor(errnoValue, directoryMissing));
}

void ThrowErrnoForPath(int errnoValue, const std::string& hostPath) {
    ThrowErrno(errnoValue,
               errnoValue == ENOENT && !IsExistingDirectory(SplitPath(hostPath).directory));
}

}  // namespace brelmont::posix
