#include <gtest/gtest.h>

#include <string>

#include "discovery/DirectoryBrowse.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont {
namespace {

using testing::MemoryFileSystem;
using testing::ScriptedFrontEnd;

// A browse dialog that, like the save-file dialog, leaves the process in the folder it closed in.
class WanderingBrowse : public ScriptedFrontEnd {
  public:
    explicit WanderingBrowse(MemoryFileSystem& files) : files_(files) {}
    std::string wanderTo = "C:\\Program Files (x86)";
    std::string BrowseForDirectory(const platform::BrowseRequest& request) override {
        files_.ChangeDirectory(wanderTo);
        return ScriptedFrontEnd::BrowseForDirectory(request);
    }

  private:
    MemoryFileSystem& files_;
};

// Saved (also at once, in the starting folder) gives the folder; a cancel the empty text. The
// working directory is always set back.
TEST(GetKelvaneDirName, ResultAndWorkingDirectoryRestored) {
    for (const char* answer : {"C:\\Program Files\\Kelvane", "C:\\Program Files (x86)", ""}) {
        SCOPED_TRACE(answer);
        MemoryFileSystem files;
        files.AddDirectory("C:\\Program Files (x86)");
        files.AddDirectory("C:\\Start");
        files.ChangeDirectory("C:\\Start");
        WanderingBrowse ui(files);
        ui.browseAnswers.push_back(answer);

        EXPECT_EQ(brelmont::GetKelvaneDirName(ui, files), answer);

        EXPECT_EQ(files.CurrentDirectory(), "C:/Start");
        EXPECT_TRUE(ui.boxes.empty());
        ASSERT_EQ(ui.browseRequests.size(), 1u);
        const platform::BrowseRequest& request = ui.browseRequests.front();
        EXPECT_EQ(request.title, "Select a directory");
        EXPECT_EQ(request.initialDirectory, "C:\\Program Files (x86)\\");
        EXPECT_EQ(request.proposedFileName, "Select Kelvane program directory");
        EXPECT_EQ(request.filter, "Directories|*.~#~");
    }
}

TEST(GetKelvaneDirName, FailedDialogGivesTheWorkingDirectory) {
    MemoryFileSystem files;
    files.AddDirectory("C:\\Start");
    files.ChangeDirectory("C:\\Start");
    ScriptedFrontEnd ui;
    ui.browseFails = true;
    EXPECT_EQ(brelmont::GetKelvaneDirName(ui, files), files.CurrentDirectory());
    EXPECT_EQ(files.CurrentDirectory(), "C:/Start");
}

}  // namespace
}  // namespace brelmont
