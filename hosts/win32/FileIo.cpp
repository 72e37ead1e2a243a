#include "hosts/win32/FileIo.h"

#include <algorithm>
#include <new>

#include "hosts/win32/ErrorTable.h"
#include "hosts/win32/InUseWait.h"
#include "support/RuntimeError.h"
#include "win32/WideText.h"

namespace brelmont::win32 {

FileIdentity IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information)) {
        ThrowLastError();
    }
    return {information.dwVolumeSerialNumber, information.nFileIndexHigh,
            information.nFileIndexLow};
}

UniqueFile OpenFile(const std::string& path, DWORD access, DWORD disposition, FaultPlan& faults,
                    DWORD flags, std::chrono::milliseconds inUseWait) {
    // Others may read and write meanwhile, as with the classic file statements; a program that
    // holds the file without sharing makes this open wait, then fail.
    const std::wstring name = Wide(path);
    UniqueFile file;
    RetryWhileInUse(
        [&]() -> DWORD {
            if (const DWORD staged = faults.Strike(FaultPoint::Open)) {
                return staged;
            }
            file = UniqueFile(::CreateFileW(
                name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                FILE_ATTRIBUTE_NORMAL | flags | kNoImpersonation, nullptr));
            if (file.Valid()) {
                return 0;
            }
            const DWORD code = ::GetLastError();
            const DWORD attributes = ::GetFileAttributesW(name.c_str());
            if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                // Windows refuses a directory as access denied; it is a path that names no file.
                throw RuntimeError(ErrorNumber::PathFileAccessError);
            }
            return code;
        },
        path, inUseWait);
    return file;
}

void WriteAll(HANDLE file, std::string_view bytes, FaultPlan& faults) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kWriteChunk));
        if (const DWORD staged = faults.Strike(FaultPoint::Write)) {
            ThrowWin32Error(staged);
        }
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            ThrowLastError();
        }
        if (written == 0) {
            // A file that takes nothing without saying why is a device fault, and retrying would
            // spin.
            ThrowWin32Error(ERROR_WRITE_FAULT);
        }
        bytes.remove_prefix(written);
    }
}

std::string ReadExactly(HANDLE file, std::uint64_t length, FaultPlan& faults) {
    std::string bytes;
    try {
        if (length > bytes.max_size()) {
            throw std::bad_alloc();
        }
        bytes.resize(static_cast<std::size_t>(length));
    } catch (const std::exception&) {
        throw RuntimeError(ErrorNumber::OutOfMemory);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (const DWORD staged = faults.Strike(FaultPoint::Read)) {
            ThrowWin32Error(staged);
        }
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kWriteChunk));
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + done, wanted, &got, nullptr)) {
            ThrowLastError();
        }
        if (got == 0) {
            throw RuntimeError(ErrorNumber::InputPastEndOfFile);
        }
        done += got;
    }
    return bytes;
}

void CloseWritten(UniqueFile& file, FaultPlan& faults) {
    const DWORD staged = faults.Strike(FaultPoint::Close);
    const BOOL closed = ::CloseHandle(file.Release());
    const DWORD code = closed ? 0 : ::GetLastError();
    if (staged != 0 || code != 0) {
        ThrowWin32Error(staged != 0 ? staged : code);
    }
}

}  // namespace brelmont::win32
