#include <gtest/gtest.h>

#include "tests/hosts/posix/FileSystemFixture.h"

namespace brelmont::posix::test {
namespace {

namespace fs = std::filesystem;

class HostPathTest : public ScratchDirectoryTest {
  protected:
    HostPathTest() {
        fs::create_directories(At("wine/drive_c/Kelvane"));
        fs::create_directories(At("wine/dosdevices"));
        fs::create_directory_symlink("../drive_c", At("wine/dosdevices/c:"));
        // An unmounted disc: the entry is there, its target is not.
        fs::create_directory_symlink("/nonexistent/cdrom", At("wine/dosdevices/d:"));
        fs::create_directories(At("bare/drive_c"));
    }
};

TEST_F(HostPathTest, MapsDrivesThroughThePrefix) {
    const std::string wine = At("wine");
    const std::string bare = At("bare");
    const struct {
        std::string prefix, path, expected;
    } cases[] = {
        {wine, "C:\\Kelvane\\Launch.local", wine + "/dosdevices/c:/Kelvane/Launch.local"},
        {wine, "c:\\Kelvane", wine + "/dosdevices/c:/Kelvane"},
        {wine + "/", "C:\\x", wine + "/dosdevices/c:/x"},
        {wine, "D:\\setup.exe", wine + "/dosdevices/d:/setup.exe"},
        {wine, "C:x", wine + "/dosdevices/c:/x"},
        {wine, "E:\\x", "E:/x"},
        {bare, "C:\\Kelvane\\Launch.local", bare + "/drive_c/Kelvane/Launch.local"},
        {bare, "d:\\x", "d:/x"},
        {wine, "logs\\Brelmont.log", "logs/Brelmont.log"},
        {wine, "\\\\server\\share", "//server/share"},
        {wine, "x\\C:\\y", "x/C:/y"},
        {wine, "1:\\x", "1:/x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix + " | " + c.path);
        EXPECT_EQ(PosixFileSystem(c.prefix).HostPath(c.path), c.expected);
    }
}

// A browse dialog's answer on the host, turned back into the form of the program's other paths.
TEST_F(HostPathTest, MapsChosenDirectoriesBackToDrives) {
    fs::create_directory_symlink("/", At("wine/dosdevices/z:"));
    const std::string wine = At("wine");
    const std::string bare = At("bare");
    const struct {
        std::string prefix, hostPath, expected;
    } cases[] = {
        {wine, wine + "/drive_c/Kelvane", "C:\\Kelvane"},
        {wine, wine + "/drive_c/Kelvane/", "C:\\Kelvane"},
        {wine, wine + "/drive_c", "C:\\"},
        {wine, wine + "/dosdevices/c:/Kelvane", "C:\\Kelvane"},
        {wine, "/nonexistent/cdrom/setup", "D:\\setup"},
        {wine, "/opt/Wexo Packet", "Z:\\opt\\Wexo Packet"},
        {wine, "/", "Z:\\"},
        {bare, bare + "/drive_c/Kelvane", "C:\\Kelvane"},
        {bare, "/opt/Kelvane", "Z:\\opt\\Kelvane"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix + " | " + c.hostPath);
        EXPECT_EQ(PosixFileSystem(c.prefix).ProgramPath(c.hostPath), c.expected);
    }
}

TEST_F(HostPathTest, FileOperationsUseTheHostForm) {
    PosixFileSystem wine(At("wine"));
    wine.ReplaceFile("C:\\Kelvane\\Launch.local", "[Addons]\r\n");
    EXPECT_EQ(ReadBytes(At("wine/drive_c/Kelvane/Launch.local")), "[Addons]\r\n");
    EXPECT_TRUE(wine.OrdinaryFileExists("c:\\Kelvane\\Launch.*"));
    EXPECT_EQ(wine.FileLength("C:\\Kelvane\\Launch.local"), 10u);
    EXPECT_TRUE(wine.IsDirectory("C:\\Kelvane\\"));
}

}  // namespace
}  // namespace brelmont::posix::test
