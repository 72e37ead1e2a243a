// Bad input in every file and text the program takes, through the real program in console mode:
// no crash, the message and exit status of the way the run ends, and no file changed but
// Launch.local where an edit is meant and the session log, which only grows.

#include <gtest/gtest.h>

#include <functional>

#include "tests/reliability/Sandbox.h"

namespace brelmont::reliability {
namespace {

using namespace std::string_literals;

struct BadInput {
    const char* name;
    std::function<void(Sandbox&)> arrange;  // null: the sandbox as made
    // "{loader}" and "{root}" stand for the sandbox's paths, here and in `shown`.
    std::vector<std::string> arguments;
    std::optional<std::string> input;  // standard input; none: closed
    int exit;
    std::vector<std::string> shown;  // each on standard output or standard error
    // Launch.local afterwards, from its bytes before the run; null: untouched.
    std::function<std::string(const std::string&)> launchAfter = nullptr;
    long fileSizeLimit = 0;
};

void PrintTo(const BadInput& c, std::ostream* os) {
    *os << c.name;
}

std::string Fill(std::string text, const Sandbox& box) {
    for (const auto& [mark, value] :
         {std::pair{"{loader}"s, box.loader.string()}, std::pair{"{root}"s, box.root.string()}}) {
        for (std::size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + value.size())) {
            text.replace(at, mark.size(), value);
        }
    }
    return text;
}

// Bytes of every value, NUL and 128-255 among them, with CR and LF here and there.
std::string Garbage(std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) {
        bytes += static_cast<char>((i * 131 + 7) % 256);
    }
    return bytes;
}

auto Loader(std::string bytes) {
    return [bytes](Sandbox& box) { WriteBytes(box.loader, bytes); };
}
auto Launch(std::string bytes) {
    return [bytes](Sandbox& box) { WriteBytes(box.launch, bytes); };
}
auto Conf(std::string bytes) {
    return [bytes](Sandbox& box) { WriteBytes(box.kelvane / "Kelvane.conf", bytes); };
}
auto Replaced(std::function<void(const fs::path&)> make, fs::path Sandbox::*which) {
    return [make, which](Sandbox& box) {
        fs::remove(box.*which);
        make(box.*which);
    };
}
auto Directory() {
    return [](const fs::path& path) { fs::create_directory(path); };
}
auto DanglingLink() {
    return [](const fs::path& path) { fs::create_symlink(path.string() + ".gone", path); };
}
auto ConfReplaced(std::function<void(const fs::path&)> make) {
    return [make](Sandbox& box) {
        fs::remove(box.kelvane / "Kelvane.conf");
        make(box.kelvane / "Kelvane.conf");
    };
}
auto AddedTo(std::string loader) {
    return [loader](const std::string& old) { return Added(old, loader); };
}
auto Becomes(std::string after) {
    return [after](const std::string&) { return after; };
}
// Kelvane moved out of its install locations, to be found by browsing.
void MoveKelvane(Sandbox& box) {
    fs::create_directories(box.prefix / "drive_c" / "Apps");
    fs::rename(box.kelvane, box.prefix / "drive_c" / "Apps" / "Kelvane");
}

const std::string kInstall = "install,{loader}";
const std::string kRemove = "uinstall,{loader}";
const std::string kAdded = "Added this Addon to Launch.Local";
const std::string kRemoved = "Addon settings removed from Launch.Local";
const std::string kNoConf = "Could not find Kelvane.conf in directory C:\\Program Files\\Kelvane .";
const std::string kNoDirectory = "No Kelvane program directory was selected.";
const std::string kMegabyte(1 << 20, 'x');
const std::string kLoneLf = "Launch.local left unchanged: some of its lines end in LF alone";
const std::string kNoEndLine = "Launch.local left unchanged: the loader file has no end line";
const std::string kNulBlock = "[Wea\0ther-2.1]\r\nrun=\xFF\x80\0\xE9\r\n/ [EOA]\r\n"s;
const std::string kNulLoader = "[Sa\0mple\xE9-1.\xFF]\r\nrun=\x80\0\xFE\r\n/ [EOA]\r\n"s;
const std::string kMarkersPastLimit = std::string(40000, 'x') + kSampleLoader;
const std::string kBom = "\xEF\xBB\xBF";
// Built when a row runs, not when the cases are listed: every test process lists them all.
const std::string& HalfOfHundredMegabytes() {
    static const std::string half = FillerBlocks(50 << 20);
    return half;
}

// clang-format off
const BadInput kCases[] = {
    // The loader file.
    {"LoaderMissing", [](Sandbox& b) { fs::remove(b.loader); }, {kInstall}, "y\n", 1,
     {"File {loader} not found"}},
    {"LoaderEmpty", Loader(""), {kInstall}, "y\n", 4, {"Error at Step: 203", "Result = 0"}},
    {"LoaderEmptyRemoval", Loader(""), {kRemove}, {}, 5, {"Run-time error '5':"}},
    {"LoaderIsDirectory", Replaced(Directory(), &Sandbox::loader), {kInstall}, "y\n", 1,
     {"not found"}},
    {"LoaderDanglingLink", Replaced(DanglingLink(), &Sandbox::loader), {kInstall}, "y\n", 1,
     {"not found"}},
    {"LoaderBehindRegularFile", nullptr, {kInstall + "/x.local"}, "y\n", 1, {"not found"}},
    {"LoaderFirstLineOnly", Loader("[Sample-1.2]"), {kInstall}, "y\n", 4,
     {kNoEndLine, "Error at Step: 203", "Result = 0"}},
    {"LoaderWithoutEndLine", Loader("[Sample-1.2]\r\nrun=sample.exe\r\n"), {kInstall}, "y\n", 4,
     {kNoEndLine, "Error at Step: 203", "Result = 0"}},
    {"LoaderWithoutEndLineRemoval",
     [](Sandbox& b) {
         WriteBytes(b.loader, "[Sample-1.2]\r\nrun=sample.exe\r\n");
         WriteBytes(b.launch, kOtherBlocks + kSampleLoader);
     },
     {kRemove}, {}, 0, {kRemoved}, Becomes(kOtherBlocks)},
    {"LoaderNulAndHighBytes", Loader(kNulLoader), {kInstall}, "y\n", 0, {kAdded},
     AddedTo(kNulLoader)},
    {"LoaderNulAndHighBytesRemoval",
     [](Sandbox& b) {
         WriteBytes(b.loader, kNulLoader);
         WriteBytes(b.launch, kOtherBlocks + kNulLoader);
     },
     {kRemove}, {}, 0, {kRemoved}, Becomes(kOtherBlocks)},
    {"LoaderLfOnly", Loader("[Sample-1.2]\nrun=sample.exe\n/ [EOA]\n"), {kInstall}, "y\n", 0,
     {kAdded},
     [](const std::string& old) {
         return old + "\r\n[Sample-1.2]\r\nrun=sample.exe\r\n/ [EOA]\r\n\r\n";
     }},
    {"LoaderCrOnly", Loader("[Sample-1.2]\rrun=sample.exe\r/ [EOA]\r"), {kInstall}, "y\n", 0,
     {kAdded},
     [](const std::string& old) {
         return old + "\r\n[Sample-1.2]\r\nrun=sample.exe\r\n/ [EOA]\r\n";
     }},
    {"LoaderMixedLineEnds", Loader("[Sample-1.2]\r\nrun=a\nb\rc\r\n/ [EOA]"), {kInstall}, "y\n", 0,
     {kAdded},
     [](const std::string& old) { return old + "\r\n[Sample-1.2]\r\nrun=ab\r\nc\r\n/ [EOA]\r\n"; }},
    // A lone LF ends no line: the block must still end before the next add-on's RegID line.
    {"LoaderEndingInLoneLf",
     [](Sandbox& b) {
         WriteBytes(b.loader, "[Sample-1.2]\r\nrun=new\r\n/ [EOA]\n");
         WriteBytes(b.launch, "[Sample-1.1]\r\nrun=old\r\n/ [EOA]\r\n" + kOtherBlocks);
     },
     {kInstall}, "y\n", 0, {"Updating Launch.Local with the latest Addon setting"},
     Becomes("[Sample-1.2]\r\nrun=new\r\n/ [EOA]\n\r\n" + kOtherBlocks)},
    {"LoaderMegabyteLine", Loader("[Sample-1.2]" + kMegabyte + "\r\n/ [EOA]"), {kInstall}, "y\n",
     0, {kAdded},
     [](const std::string& old) {
         return old + "\r\n[Sample-1.2]" + kMegabyte + "\r\n/ [EOA]\r\n";
     }},
    {"LoaderMarkersPastPositionLimit", Loader(kMarkersPastLimit), {kInstall}, "y\n", 4,
     {"Error at Step: 203", "Result = 0"}},
    {"LoaderMarkersPastPositionLimitRemoval", Loader(kMarkersPastLimit), {kRemove}, {}, 5,
     {"Run-time error '6':"}},
    {"LoaderByteOrderMark", Loader(kBom + kSampleLoader), {kInstall}, "y\n", 0, {kAdded},
     AddedTo(kSampleLoader)},
    {"LoaderGarbage", Loader(Garbage(5000)), {kInstall}, "y\n", 4, {"Error at Step: 203"}},

    // Launch.local.
    {"LaunchMissing", [](Sandbox& b) { fs::remove(b.launch); }, {kInstall}, "y\n", 0, {kAdded},
     Becomes("\r\n" + kSampleLoader + "\r\n")},
    {"LaunchNulAndHighBytes", Launch(kNulBlock), {kInstall}, "y\n", 0, {kAdded},
     AddedTo(kSampleLoader)},
    {"LaunchNulAndHighBytesRemoval", Launch(kNulBlock + kSampleLoader), {kRemove}, {}, 0,
     {kRemoved},
     Becomes(kNulBlock)},
    {"LaunchGarbage", Launch(Garbage(100000)), {kInstall}, "y\n", 0, {kAdded},
     AddedTo(kSampleLoader)},
    {"LaunchLfOnly", Launch("[Weather-2.1]\nrun=w\n/ [EOA]\n[Sample-1.1]\nrun=old\n/ [EOA]\n"),
     {kInstall},
     "y\n", 0, {kAdded}, AddedTo(kSampleLoader)},
    // A lone LF ends no line to the program, but may to the host: a rewrite that would join lines
    // leaves the file and says why.
    {"LaunchLfOnlyRemoval", Launch("[Weather-2.1]\nrun=w\n/ [EOA]\n[Sample-1.2]\nrun=s\n"),
     {kRemove}, {}, 4, {kLoneLf, "Result = 321"}},
    {"LaunchLfOnlyReplace", Launch("[Sample-1.1]\nrun=old\n/ [EOA]\n[Weather-2.1]\nrun=w\n"),
     {kInstall}, "y\n", 4, {kLoneLf, "Error at Step: 204", "Result = 0"}},
    {"LaunchCrOnlyRemoval",
     Launch("[Weather-2.1]\rrun=w\r/ [EOA]\r[Sample-1.2]\rrun=s\r/ [EOA]\r"
            "[Logbook-1.0]\rrun=l\r/ [EOA]\r"),
     {kRemove}, {}, 0, {kRemoved},
     Becomes("[Weather-2.1]\r\nrun=w\r\n/ [EOA]\r\n[Logbook-1.0]\r\nrun=l\r\n/ [EOA]\r\n")},
    {"LaunchMixedLineEndsRemoval",
     Launch("[Weather-2.1]\r\nrun=w\r/ [EOA]\n\r\n[Sample-1.2]\rrun=s\r\n/ [EOA]\r"
            "[Logbook-1.0]\nrun=l\r\n/ [EOA]"),
     {kRemove}, {}, 4, {kLoneLf, "Result = 321"}},
    {"LaunchMixedLineEndsReplace",
     Launch("[Weather-2.1]\nx\r[Sample-1.1]\r\nold\r/ [EOA]\n\r[Logbook-1.0]\r\n/ [EOA]"),
     {kInstall}, "y\n", 4, {kLoneLf, "Error at Step: 204", "Result = 0"}},
    // A block without an end line runs to the end of the file, taking the lines a lone LF
    // splits off for the host with it.
    {"LaunchLoneLfInABlockWithoutEndLineRemoval",
     Launch(kOtherBlocks + "[Sample-1.2]\r\nrun=s\n[Radar-2.0]\r\nrun=r\r\n"), {kRemove}, {}, 4,
     {kLoneLf, "Result = 321"}},
    // Lone LFs beside line ends join nothing.
    {"LaunchMixedLineEndsBesideLineEnds",
     Launch("[Weather-2.1]\n\r\nx\r\n\n[Sample-1.1]\rold\r/ [EOA]\n\r[Logbook-1.0]\r\n/ [EOA]"),
     {kInstall}, "y\n", 0, {"Updating Launch.Local with the latest Addon setting"},
     Becomes("[Weather-2.1]\r\nx\r\n" + kSampleLoader + "[Logbook-1.0]\r\n/ [EOA]\r\n")},
    {"LaunchMegabyteLine", Launch(kOtherBlocks + kMegabyte + "\r\n"), {kInstall}, "y\n", 0,
     {kAdded},
     AddedTo(kSampleLoader)},
    {"LaunchHundredMegabytes",
     [](Sandbox& b) {
         const std::string& half = HalfOfHundredMegabytes();
         WriteBytes(b.launch, half + kSampleLoader + half);
     },
     {kRemove}, {}, 0, {kRemoved},
     [](const std::string&) { return HalfOfHundredMegabytes() + HalfOfHundredMegabytes(); }},
    {"LaunchIsDirectory", Replaced(Directory(), &Sandbox::launch), {kInstall}, "y\n", 4,
     {"Result = 75"}},
    {"LaunchByteOrderMark", Launch(kBom + kOtherBlocks + kSampleLoader), {kRemove}, {}, 0,
     {kRemoved},
     Becomes(kBom + kOtherBlocks)},

    // Kelvane.conf and the data directory it names.
    {"ConfMissing", ConfReplaced([](const fs::path&) {}), {kInstall}, "y\n", 2, {kNoDirectory}},
    {"ConfMissingBrowsedTo", ConfReplaced([](const fs::path&) {}), {kInstall},
     "y\n{root}/prefix/drive_c/Program Files/Kelvane\n", 3,
     // The typed host path comes back in the program's form.
     {"Could not find Kelvane.conf in directory C:\\Program Files\\Kelvane ."}},
    {"ConfEmpty", Conf(""), {kInstall}, "y\n", 3, {kNoConf}},
    {"ConfIsDirectory", ConfReplaced(Directory()), {kInstall}, "y\n", 2, {kNoDirectory}},
    {"ConfDanglingLink", ConfReplaced(DanglingLink()), {kRemove}, {}, 2, {kNoDirectory}},
    {"ConfGarbage", Conf(Garbage(5000)), {kInstall}, "y\n", 3, {kNoConf}},
    // Refused at the lock on its folder, before anything is read.
    {"ConfNulInDataDirectory", Conf("DATADIR=C:\\KelvaneData\0junk\r\n"s), {kInstall}, "y\n", 4,
     {"could not be locked (Bad file name or number)", "Result = 52"}},
    {"ConfNulInDataDirectoryRemoval", Conf("DATADIR=C:\\KelvaneData\0junk\r\n"s), {kRemove}, {}, 4,
     {"could not be locked (Bad file name or number)", "Result = 52"}},
    {"ConfHighBytesInDataDirectory", Conf("DATADIR=C:\\Kelvane\xE9\xFF" "Data\r\n"), {kInstall},
     "y\n", 4,
     {"Result = 76"}},
    {"ConfLfOnly", Conf("DATADIR=C:\\KelvaneData\nINSTANCE=1\n"), {kInstall}, "y\n", 4,
     {"Data Path: C:\\KelvaneDataINSTANCE=1", "Result = 76"}},
    {"ConfCrOnly", Conf("[Main]\rINSTANCE=1\rDATADIR=C:\\KelvaneData\r"), {kInstall}, "y\n", 0,
     {kAdded},
     AddedTo(kSampleLoader)},
    {"ConfBadInstance", Conf("INSTANCE=\xFF\0\r\nDATADIR=C:\\KelvaneData\r\n"s), {kInstall}, "y\n",
     5,
     {"Run-time error '-2147221491':", "Type mismatch, Step = 3"}},
    {"ConfMegabyteLine", Conf(kMegabyte + "\r\nDATADIR=C:\\KelvaneData\r\n"), {kInstall}, "y\n", 0,
     {kAdded},
     AddedTo(kSampleLoader)},
    {"ConfDataDirectoryLongerThanAnyPath",
     Conf("DATADIR=C:\\" + std::string(40000, 'x') + "\r\n"),
     {kInstall},
     "y\n",
     5,
     {"Run-time error '-2147221452':", "Bad file name or number, Step = 3"}},
    {"DataDirectoryMissing", Conf("DATADIR=C:\\Nowhere\r\n"), {kInstall}, "y\n", 4,
     {"Result = 76"}},
    {"DataDirectoryMissingRemoval", Conf("DATADIR=C:\\Nowhere\r\n"), {kRemove}, {}, 4,
     {"Result = 76"}},
    // Not writable even for root: the data directory "is" a regular file.
    {"DataDirectoryIsRegularFile", Conf("DATADIR=C:\\KelvaneData\\Launch.local\r\n"), {kInstall},
     "y\n", 4,
     {"Result = 76"}},
    {"DiskFull", [](Sandbox& b) { WriteBytes(b.launch, FillerBlocks(3 << 20)); }, {kInstall}, "y\n",
     4,
     {"Result = 61"}, nullptr, 1 << 20},

    // The command line.
    {"QuotedLoaderName", nullptr, {"install,\"{loader}\""}, "y\n", 1, {"not found"}},
    {"QuotedAction", Launch(kOtherBlocks + kSampleLoader), {"\"install\",{loader}"}, {}, 0,
     {"** Uninstalling Add-on **", kRemoved}, Becomes(kOtherBlocks)},
    {"TabBeforeComma", Launch(kOtherBlocks + kSampleLoader), {"install\t,{loader}"}, {}, 0,
     {"** Uninstalling Add-on **", kRemoved}, Becomes(kOtherBlocks)},
    {"TabBeforeLoaderName", nullptr, {"install,\t{loader}"}, "y\n", 1, {"not found"}},
    {"NonAsciiLoaderName", [](Sandbox& b) { WriteBytes(b.root / "S\xC3\xA4mple\xFF.local",
     kSampleLoader); },
     {"install,{root}/S\xC3\xA4mple\xFF.local"}, "y\n", 0, {kAdded}, AddedTo(kSampleLoader)},
    {"TenThousandCharacterLoaderName", nullptr, {"install," + std::string(10000, 'a')}, "y\n", 1,
     {"not found"}},
    {"TenThousandCharacterAction", Launch(kOtherBlocks + kSampleLoader), {std::string(10000,
     'i') + ",{loader}"},
     {}, 0, {kRemoved}, Becomes(kOtherBlocks)},
    {"OnlyAComma", nullptr, {","}, {}, 1, {"File  not found"}},
    {"OnlyCommas", nullptr, {",,,,"}, {}, 1, {"Only 5 Command Line arguments found."}},
    {"NoArguments", nullptr, {}, {}, 1, {"Only 0 Command Line arguments found."}},
    {"LoaderNameWithBlank", [](Sandbox& b) { WriteBytes(b.root / "My Addon.local",
     kSampleLoader); },
     {"install,{root}/My", "Addon.local"}, "y\n", 0, {kAdded}, AddedTo(kSampleLoader)},

    // Standard input.
    {"GarbageAnswers", nullptr, {kInstall}, Garbage(3000), 0, {kAdded}, AddedTo(kSampleLoader)},
    {"BrowsedDirectory", MoveKelvane, {kInstall}, "y\n{root}/prefix/drive_c/Apps/Kelvane\n", 0,
     {kAdded},
     AddedTo(kSampleLoader)},
    {"BrowsedDirectoryWithNul", MoveKelvane, {kInstall},
     "y\n{root}/prefix/drive_c/Apps/Kelvane\0x\n"s, 2,
     {"Not a directory: ", kNoDirectory}},
};
// clang-format on

class BadInputRun : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputRun, EndsAsDescribedAndTouchesNothingElse) {
    const BadInput& c = GetParam();
    Sandbox box;
    if (c.arrange) {
        c.arrange(box);
    }
    Start start{.arguments = {}, .input = c.input, .fileSizeLimit = c.fileSizeLimit};
    for (const std::string& argument : c.arguments) {
        start.arguments.push_back(Fill(argument, box));
    }
    if (start.input) {
        start.input = Fill(*start.input, box);
    }
    auto before = box.Snapshot();

    const Finished run = RunProgram(box, start);

    EXPECT_EQ(run.exit, c.exit) << run.out << run.err;
    const std::string shown = run.out + run.err;
    for (const std::string& text : c.shown) {
        EXPECT_NE(shown.find(Fill(text, box)), std::string::npos)
            << Fill(text, box) << "\n--- shown:\n"
            << shown.substr(0, 4000);
    }
    auto after = box.Snapshot();
    const std::string launchKey = box.launch.lexically_relative(box.root).string();
    const std::string logKey = "bin/logs/Brelmont.log";
    if (c.launchAfter) {
        const auto old = before.find(launchKey);
        const std::string expected = c.launchAfter(old == before.end() ? "" : old->second);
        ASSERT_TRUE(after.contains(launchKey));
        // Not EXPECT_EQ: a failure would print megabytes.
        EXPECT_TRUE(after[launchKey] == expected)
            << "Launch.local holds " << after[launchKey].size() << " bytes, expected "
            << expected.size() << ":\n"
            << after[launchKey].substr(0, 2000);
        before.erase(launchKey);
        after.erase(launchKey);
    }
    ASSERT_TRUE(after.contains(logKey));
    EXPECT_TRUE(after[logKey].starts_with(before.contains(logKey) ? before.at(logKey) : ""));
    before.erase(logKey);
    after.erase(logKey);
    for (const auto& [path, bytes] : after) {
        if (!before.contains(path) || before.at(path) != bytes) {
            ADD_FAILURE() << "changed or new: " << path;
        }
    }
    for (const auto& [path, bytes] : before) {
        if (!after.contains(path)) {
            ADD_FAILURE() << "gone: " << path;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInputRun, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brelmont::reliability
