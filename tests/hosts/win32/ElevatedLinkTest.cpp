// Links on the way to Launch.local and to the log, made by an administrator or by an ordinary
// account, met by an elevated run. Only Windows shows owners and reparse points: under Wine these
// skip, and the decision is tested over described paths instead.

#include <windows.h>
// clang-format off
#include <aclapi.h>
#include <sddl.h>
#include <winioctl.h>
// clang-format on

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "hosts/win32/Elevation.h"
#include "hosts/win32/UniqueHandle.h"
#include "hosts/win32/Wine.h"
#include "support/RuntimeError.h"
#include "tests/hosts/win32/FileSystemFixture.h"
#include "win32/WideText.h"

namespace brelmont::win32::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAdministrators = "S-1-5-32-544";
constexpr const char* kUsers = "S-1-5-32-545";  // anybody with an ordinary account

bool EnablePrivilege(const wchar_t* name) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return false;
    }
    const UniqueKernelHandle held(token);
    TOKEN_PRIVILEGES privileges{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    return ::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid) &&
           ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
           ::GetLastError() == ERROR_SUCCESS;
}

UniqueFile OpenItself(const fs::path& path, DWORD access) {
    return UniqueFile(::CreateFileW(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// A junction at `at` leading to the folder `target`, as mklink /J makes it.
void MakeJunction(const fs::path& at, const fs::path& target) {
    ASSERT_TRUE(::CreateDirectoryW(at.c_str(), nullptr));
    const std::wstring substitute = L"\\??\\" + target.wstring();
    const std::wstring print = target.wstring();
    // Tag, data length, reserved; then substitute offset and length, print offset and length, in
    // bytes, and the two names one after the other, each ended by a NUL.
    std::string buffer(8 + 8 + (substitute.size() + print.size() + 2) * 2, '\0');
    const auto put16 = [&](std::size_t at16, std::size_t value) {
        const WORD word = static_cast<WORD>(value);
        std::memcpy(buffer.data() + at16, &word, 2);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, 4);
    put16(4, buffer.size() - 8);
    put16(8, 0);
    put16(10, substitute.size() * 2);
    put16(12, (substitute.size() + 1) * 2);
    put16(14, print.size() * 2);
    std::memcpy(buffer.data() + 16, substitute.c_str(), substitute.size() * 2);
    std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * 2, print.c_str(), print.size() * 2);
    const UniqueFile junction = OpenItself(at, GENERIC_WRITE);
    ASSERT_TRUE(junction.Valid());
    DWORD returned = 0;
    ASSERT_TRUE(::DeviceIoControl(junction.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                  static_cast<DWORD>(buffer.size()), nullptr, 0, &returned,
                                  nullptr))
        << ::GetLastError();
}

// Makes `owner` the owner of the link itself; SeRestorePrivilege lets an administrator name any.
void GiveTo(const fs::path& link, const char* owner) {
    PSID sid = nullptr;
    ASSERT_TRUE(::ConvertStringSidToSidA(owner, &sid));
    const UniqueFile object = OpenItself(link, WRITE_OWNER);
    ASSERT_TRUE(object.Valid()) << ::GetLastError();
    const DWORD done = ::SetSecurityInfo(object.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                         sid, nullptr, nullptr, nullptr);
    ::LocalFree(sid);
    ASSERT_EQ(done, static_cast<DWORD>(ERROR_SUCCESS)) << owner;
}

class ElevatedLinkTest : public ScratchDirectoryTest {
  protected:
    void SetUp() override {
        if (RunsUnderWine()) {
            GTEST_SKIP() << "Wine shows one owner for every file, and no reparse points";
        }
        if (!ProcessIsElevated() || !EnablePrivilege(L"SeRestorePrivilege")) {
            GTEST_SKIP() << "needs an elevated run: it gives links to other accounts";
        }
        files.SetElevated(true);
    }
};

enum class Place { DataFolderJunction, LaunchLocalLink, LogsFolderJunction };

TEST_F(ElevatedLinkTest, OnlyAdministratorsLinksAreFollowed) {
    const struct {
        const char* what;
        Place place;
        const char* owner;
        std::int32_t error;
    } cases[] = {
        {"data folder junction, administrators'", Place::DataFolderJunction, kAdministrators, 0},
        {"data folder junction, a user's", Place::DataFolderJunction, kUsers,
         ErrorNumber::PermissionDenied},
        {"link at Launch.local, administrators'", Place::LaunchLocalLink, kAdministrators, 0},
        {"link at Launch.local, a user's", Place::LaunchLocalLink, kUsers,
         ErrorNumber::PermissionDenied},
        {"logs folder junction, administrators'", Place::LogsFolderJunction, kAdministrators, 0},
        {"logs folder junction, a user's", Place::LogsFolderJunction, kUsers,
         ErrorNumber::PermissionDenied},
    };
    const fs::path base = PathOf(root);
    const std::string_view pieces[] = {"new\r\n"};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        fs::remove_all(base / "real");
        fs::remove_all(base / "way");
        fs::create_directories(base / "real");
        WriteBytes((base / "real" / "Launch.local").string(), "old\r\n");
        std::function<void()> edit;
        fs::path link = base / "way";
        if (row.place == Place::LaunchLocalLink) {
            fs::create_directories(base / "way");
            link = base / "way" / "Launch.local";
            ASSERT_TRUE(
                ::CreateSymbolicLinkW(link.c_str(), (base / "real" / "Launch.local").c_str(), 0));
        } else {
            MakeJunction(link, base / "real");
        }
        GiveTo(link, row.owner);
        const std::string launch = (base / "way" / "Launch.local").string();
        if (row.place == Place::LogsFolderJunction) {
            edit = [&] {
                files.AppendToFile((base / "way" / "Brelmont.log").string(), "line\r\n");
            };
        } else {
            files.NamedBy((base / "way").string(), "Kelvane.conf");
            edit = [&] {
                files.ReadFile(launch, 5);
                files.ReplaceFileContents(launch, pieces);
            };
        }
        EXPECT_EQ(ErrorNumberOf(edit), row.error);
        const bool followed = row.error == 0;
        if (row.place == Place::LogsFolderJunction) {
            EXPECT_EQ(fs::exists(base / "real" / "Brelmont.log"), followed);
        } else {
            EXPECT_EQ(ReadBytes((base / "real" / "Launch.local").string()),
                      followed ? "new\r\n" : "old\r\n");
        }
        fs::remove(link);
    }
}

}  // namespace
}  // namespace brelmont::win32::test
