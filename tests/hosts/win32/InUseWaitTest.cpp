// Launch.local held by another program without sharing (Kelvane, an editor, a virus scan): the
// edit waits for it a while, as installers do for files in use, and then leaves it whole.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "hosts/win32/UniqueHandle.h"
#include "support/RuntimeError.h"
#include "tests/hosts/win32/FileSystemFixture.h"
#include "win32/WideText.h"

namespace brelmont::win32::test {
namespace {

using namespace std::chrono_literals;

class InUseWaitTest : public ScratchDirectoryTest {};

// Holds `path` open without sharing it for `how long`, from another thread.
class HeldFile {
  public:
    HeldFile(const std::string& path, std::chrono::milliseconds howLong)
        : file_(::CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr)),
          release_([this, howLong] {
              std::this_thread::sleep_for(howLong);
              file_.Reset();
          }) {}
    ~HeldFile() { release_.join(); }
    bool Held() const { return file_.Valid(); }

  private:
    UniqueFile file_;
    std::thread release_;
};

TEST_F(InUseWaitTest, EditWaitsForTheFileAndThenLeavesItWhole) {
    const std::string launch = At("Launch.local");
    const std::string_view pieces[] = {"new\r\n"};
    const struct {
        const char* what;
        std::function<void()> edit;
        std::chrono::milliseconds bound;
        std::int32_t error;
        const char* left;
    } cases[] = {
        {"read, let go within the bound", [&] { files.ReadFile(launch, 5); }, 30s, 0, "old\r\n"},
        {"replace, let go within the bound", [&] { files.ReplaceFileContents(launch, pieces); },
         30s, 0, "new\r\n"},
        {"read, held past the bound", [&] { files.ReadFile(launch, 5); }, 500ms,
         ErrorNumber::PermissionDenied, "old\r\n"},
        {"replace, held past the bound", [&] { files.ReplaceFileContents(launch, pieces); }, 500ms,
         ErrorNumber::PermissionDenied, "old\r\n"},
    };
    for (const auto& row : cases) {
        WriteBytes(launch, "old\r\n");
        files.SetInUseWait(row.bound);
        std::string description;
        {
            const HeldFile held(launch, 2s);
            ASSERT_TRUE(held.Held()) << row.what;
            try {
                row.edit();
            } catch (const RuntimeError& error) {
                EXPECT_EQ(error.Number(), row.error) << row.what;
                description = error.Description();
            }
        }
        if (row.error == 0) {
            EXPECT_EQ(description, "") << row.what;
        } else {
            EXPECT_NE(description.find("in use by another program"), std::string::npos)
                << row.what << ": " << description;
        }
        EXPECT_EQ(ReadBytes(launch), row.left) << row.what;
    }
}

}  // namespace
}  // namespace brelmont::win32::test
