// Which front end the real program takes, and what it maps for it: Qt's libraries only for a
// window, and the console, said once on standard error and in the log, where a display is set but
// the Qt front end's module cannot be used or Qt cannot open the display.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/reliability/Sandbox.h"
#include "ui/qt/ModuleEntry.h"

namespace brelmont::reliability {
namespace {

enum class Module { Beside, InLibraryFolder, Renamed, NotLoadable, WritableByOthers };
enum class Shown { Window, Console, ConsoleOnceQtFailed, Nothing };

struct Choice {
    const char* name;
    std::vector<std::string> environment;
    Module module;
    Shown shown;
    std::string why;  // the reason given for the console; empty: none given
};

void PrintTo(const Choice& c, std::ostream* os) {
    *os << c.name;
}

void Arrange(const Sandbox& box, Module module) {
    const fs::path beside = box.bin / qtui::kModuleFileName;
    const fs::path elsewhere = box.root / "module.renamed";
    if (module == Module::Beside) {
        return;
    }
    // The sandbox holds a link to the build's own module: moved away before anything changes.
    fs::rename(beside, elsewhere);
    switch (module) {
        case Module::InLibraryFolder: {
            const fs::path folder = box.bin / BRELMONT_MODULE_DIR_FROM_PROGRAM;
            fs::create_directories(folder);
            fs::rename(elsewhere, folder / qtui::kModuleFileName);
            break;
        }
        case Module::NotLoadable:
            WriteBytes(beside, "not a shared library\n");
            break;
        case Module::WritableByOthers:
            fs::copy_file(elsewhere, beside);
            fs::permissions(beside, fs::perms::others_write, fs::perm_options::add);
            break;
        default:
            break;
    }
}

// What the dynamic loader reported loading (LD_DEBUG=files), over the whole run.
std::string LoadedFiles(const Sandbox& box) {
    std::string report;
    for (const fs::directory_entry& entry : fs::directory_iterator(box.root)) {
        if (entry.path().filename().string().starts_with("ld.")) {
            report += ReadBytes(entry.path());
        }
    }
    return report;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class FrontEndChoice : public ::testing::TestWithParam<Choice> {};

TEST_P(FrontEndChoice, MapsQtOnlyForAWindow) {
    const Choice& c = GetParam();
    const Sandbox box;
    WriteBytes(box.launch, kOtherBlocks + kSampleLoader);
    Arrange(box, c.module);
    Start start{.arguments = {"uinstall," + box.loader.string()}, .input = std::nullopt};
    start.environment = c.environment;
    start.environment.push_back("LD_DEBUG=files");
    start.environment.push_back("LD_DEBUG_OUTPUT=" + (box.root / "ld").string());
    start.timeLimit = 60;

    const Finished run = RunProgram(box, start);

    EXPECT_EQ(run.exit, 0) << run.out << run.err;
    EXPECT_EQ(box.Launch(), kOtherBlocks);
    const bool qtMapped = LoadedFiles(box).find("libQt6") != std::string::npos;
    EXPECT_EQ(qtMapped, c.shown == Shown::Window || c.shown == Shown::ConsoleOnceQtFailed);
    if (c.shown == Shown::Console || c.shown == Shown::ConsoleOnceQtFailed) {
        EXPECT_TRUE(run.out.ends_with("Addon settings removed from Launch.Local\n")) << run.out;
    } else {
        EXPECT_EQ(run.out, "");
    }
    const std::string note = "No window, the console is used: the Qt front end was not loaded (";
    const std::string log = ReadBytes(box.bin / "logs" / "Brelmont.log");
    if (c.why.empty()) {
        EXPECT_EQ(Count(run.err, note), 0u) << run.err;
        EXPECT_EQ(Count(log, note), 0u) << log;
    } else {
        EXPECT_EQ(Count(run.err, note), 1u) << run.err;
        EXPECT_EQ(Count(run.err, c.why), 1u) << run.err;
        EXPECT_EQ(Count(log, note), 1u) << log;
        EXPECT_EQ(Count(log, c.why), 1u) << log;
    }
}

const std::string kDisplay = "DISPLAY=:97.0";  // no such display

const Choice kChoices[] = {
    {"Console", {}, Module::Beside, Shown::Console, ""},
    {"UnattendedWithDisplay",
     {"BRELMONT_UNATTENDED=1", kDisplay},
     Module::Beside,
     Shown::Nothing,
     ""},
    {"Window", {"QT_QPA_PLATFORM=offscreen"}, Module::Beside, Shown::Window, ""},
    {"WindowFromInstallsLibraryFolder",
     {"QT_QPA_PLATFORM=offscreen"},
     Module::InLibraryFolder,
     Shown::Window,
     ""},
    {"DisplayWithoutModule", {kDisplay}, Module::Renamed, Shown::Console, "no file at "},
    {"DisplayWithBrokenModule",
     {kDisplay},
     Module::NotLoadable,
     Shown::Console,
     "bin/brelmont-qt.so: "},
    {"DisplayWithModuleOthersMayWrite",
     {kDisplay},
     Module::WritableByOthers,
     Shown::Console,
     "bin/brelmont-qt.so may be written by others than its owner"},
    {"DisplayThatCannotBeOpened",
     {kDisplay},
     Module::Beside,
     Shown::ConsoleOnceQtFailed,
     "the display could not be opened: qt.qpa.xcb: could not connect to display :97.0"},
};

INSTANTIATE_TEST_SUITE_P(Runs, FrontEndChoice, ::testing::ValuesIn(kChoices),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brelmont::reliability
