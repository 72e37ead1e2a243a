#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "launchfile/LaunchEditor.h"
#include "launchfile/LaunchText.h"
#include "launchfile/RegId.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "tests/testkit/AllocationFault.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont {
namespace {

using Text = std::optional<std::string>;

// Every line followed by CR LF.
std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

const std::string kLaunchPath = "C:\\Data\\Launch.local";
const std::string kLoaderPath = "C:\\Addon\\Sample.local";
const std::string kBom = "\xEF\xBB\xBF";
const std::string kOther = Lines({"[Other-3.0]", "setting line of another add-on", "/ [EOA]"});
const std::string kSample12 = Lines({"[Sample-1.2]", "first setting line for Kelvane", "/ [EOA]"});
const std::string kSample13 = Lines({"[Sample-1.3]", "first setting line for Kelvane", "/ [EOA]"});
const std::string kSample11 = Lines({"[Sample-1.1]", "old setting", "/ [EOA]"});
const std::string kExample = kOther + kSample12;
const std::string kTools = Lines({"[SampleTools-1.2]", "tools setting", "/ [EOA]"});
const std::string kNamer = Lines({"[Other-3.0]", "needs Sample-1.2", "/ [EOA]"});
// Another add-on's block of about 72 KB.
const std::string kBig = [] {
    std::string text = "[Other-3.0]\r\n";
    for (int i = 0; i < 900; ++i) {
        text += std::string(78, 'o') + "\r\n";
    }
    return text + "/ [EOA]\r\n";
}();

// One edit's world: Launch.local and the loader in memory, boxes and status lines recorded.
struct Bench {
    Bench(const Text& launch, const Text& loader,
          std::uint64_t largestTextFile = FileLib::kLargestTextFile)
        : lib(files, eventLog, largestTextFile) {
        files.AddDirectory("C:\\Data");
        if (launch) {
            files.AddFile(kLaunchPath, *launch);
        }
        if (loader) {
            files.AddFile(kLoaderPath, *loader);
        }
    }
    Text Launch() const { return files.Contents(kLaunchPath); }

    testing::MemoryFileSystem files;
    testing::RecordingEventLog eventLog;
    FileLib lib;
    testing::ScriptedFrontEnd ui;
    std::vector<std::string> status;
    std::vector<std::string> reasons;  // also in `status`
    std::string loaderFile = kLoaderPath;
    std::int16_t step = 0;
    LaunchEditContext run{lib,
                          ui,
                          [this](const std::string& line) { status.push_back(line); },
                          [this](const std::string& line) {
                              status.push_back(line);
                              reasons.push_back(line);
                          },
                          loaderFile,
                          step};
};

struct CutCase {
    std::string line;
    std::string regId;
    std::string appName;  // what was cut before a failure, too
    std::string appRev;
    std::int32_t error;  // 0 when the cut succeeds
};

TEST(CutRegID, CutsNameAndRevisionOrFailsWithInvalidArgument) {
    const CutCase cases[] = {
        {"[Sample-1.2]", "[Sample-1.2]", "Sample", "1.2", 0},
        {"   [Sample-1.2]  ", "[Sample-1.2]", "Sample", "1.2", 0},
        {"Sample-1.2]", "Sample-1.2]", "Sample", "1.2", 0},
        {"[Tool-2.0-beta]", "[Tool-2.0-beta]", "Tool", "2.0-beta", 0},
        {"[Sample-1.2] for Kelvane", "[Sample-1.2] for Kelvane", "Sample", "1.2", 0},
        {"[Sample-]", "[Sample-]", "Sample", "", 0},
        {"\t[Sample-1.2] ", "\t[Sample-1.2]", "Sample", "1.2", 0},
        {"[Sample 1.2]", "[Sample 1.2]", "", "", 5},
        {"[Sample-1.2", "[Sample-1.2", "Sample", "", 5},
        {"x-[Sample-1.2]", "x-[Sample-1.2]", "", "", 5},
        {"[Sam]ple-1.2]", "[Sam]ple-1.2]", "Sam]ple", "", 5},
        {"[-1.2]", "[-1.2]", "", "", 5},
        {"-1.2]", "-1.2]", "", "", 5},
        {"", "", "", "", 5},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.line);
        RegIdCut cut;
        std::int32_t error = 0;
        try {
            CutRegID(c.line, cut, PositionLimit::SixteenBit);
        } catch (const RuntimeError& caught) {
            error = caught.Number();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(cut.RegID, c.regId);
        EXPECT_EQ(cut.AppName, c.appName);
        EXPECT_EQ(cut.AppRev, c.appRev);
        if (error == 0) {
            EXPECT_EQ(cut.IdentityKey(), c.appName + "-" + c.appRev);
        }
    }
}

TEST(CutRegID, MarkersBeyond32767OverflowOnlyInTheLoadersFirstLine) {
    const std::string lines[] = {std::string(32767, 'x') + "[Sample-1.2]",
                                 "[Sample-1.2" + std::string(40000, 'x') + "]"};
    for (const std::string& line : lines) {
        RegIdCut cut;
        try {
            CutRegID(line, cut, PositionLimit::SixteenBit);
            ADD_FAILURE() << "no overflow";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), ErrorNumber::Overflow);
        }
        RegIdCut unlimited;
        CutRegID(line, unlimited, PositionLimit::None);
        EXPECT_EQ(unlimited.AppName, "Sample");
    }
}

TEST(IsRegIdLineOf, OnlyLinesThatCutToExactlyTheNameCount) {
    const std::pair<std::string, bool> cases[] = {
        {"[Sample-1.2]", true},        {"  [Sample-1.25] for Kelvane", true},
        {"[Sample-2.0]", true},        {std::string(40000, 'x') + "[Sample-1.2]", true},
        {"[SampleTools-1.2]", false},  {"[MySample-1.2]", false},
        {"[Other-3.0] Sample", false}, {"needs Sample-1.2", false},
        {"[Sample 1.2]", false},       {"Sample", false},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(IsRegIdLineOf(line, "Sample"), expected) << line.substr(0, 40);
    }
}

struct EditCase {
    const char* name;
    Text launch;  // nullopt: no Launch.local
    std::string loader;
    Text expected;  // nullopt: Launch.local as it was
    std::int16_t result;
    std::int16_t step;  // registration only
};

std::string CaseName(const ::testing::TestParamInfo<EditCase>& info) {
    return info.param.name;
}

const EditCase kRegisterCases[] = {
    {"NoLaunchFile", std::nullopt, kSample12, "\r\n" + kSample12 + "\r\n", -2, 205},
    {"AddAfterOtherBlock", kOther, kSample12, kOther + "\r\n" + kSample12 + "\r\n", -2, 205},
    {"AddKeepsEmptyLines", kOther + "\r\n\r\n", kSample12,
     kOther + "\r\n\r\n\r\n" + kSample12 + "\r\n", -2, 205},
    {"TabBeforeBracketStays", kOther, "\t" + kSample12, kOther + "\r\n\t" + kSample12 + "\r\n", -2,
     205},
    {"SameRevision", kExample, kSample12, std::nullopt, -3, 206},
    {"LongerRevisionCountsAsRegistered", kOther + Lines({"[Sample-1.25]", "x", "/ [EOA]"}),
     kSample12, std::nullopt, -3, 206},
    {"NewerRevision", kExample, kSample13, kOther + kSample13, -4, 204},
    {"PaddedLoaderWithoutFinalLineEnd", kExample,
     "  [Sample-1.3] \r\nfirst setting line for Kelvane\r\n/ [EOA]", kOther + kSample13, -4, 204},
    {"UpdateDropsEmptyLinesKeepsBlankOnes", kOther + "\r\n  \r\n" + kSample12 + "\r\n\r\n",
     kSample13, kOther + "  \r\n" + kSample13, -4, 204},
    {"EndLineSplitByLf", kOther, "[Sample-1.2]\r\nrun=x\r\n/ [E\nOA]\r\n",
     kOther + "\r\n" + Lines({"[Sample-1.2]", "run=x", "/ [EOA]", ""}), -2, 205},
    {"LoaderEndingInAnEmptyLineEndedByLf", kSample11 + kOther, kSample13 + "\n",
     kSample13 + "\n\r\n" + kOther, -4, 204},
    {"NewBlockKeepsItsOwnEmptyLines", kExample, Lines({"[Sample-1.3]", "a", "", "b", "/ [EOA]"}),
     kOther + Lines({"[Sample-1.3]", "a", "", "b", "/ [EOA]"}), -4, 204},
    {"OldBlockWithoutEndMarker", kOther + Lines({"[Sample-1.1]", "old", "[Third-1.0]", "third"}),
     kSample13, kOther + kSample13, -4, 204},
    {"EveryOldBlockReplaced", kSample11 + kOther + Lines({"[Sample-1.0]", "x", "/ [EOA]"}),
     kSample13, kSample13 + kOther + kSample13, -4, 204},
    {"SampleToolsBesideSampleStays", kTools + kSample11, kSample13, kTools + kSample13, -4, 204},
    {"SampleToolsAloneIsAnotherAddon", kTools, kSample12, kTools + "\r\n" + kSample12 + "\r\n", -2,
     205},
    {"SettingLineNamingTheAddonIsNoBlock", kNamer, kSample12, kNamer + "\r\n" + kSample12 + "\r\n",
     -2, 205},
    {"SettingLineNamingTheRevisionIsNoRegistration", kNamer + kSample11, kSample12,
     kNamer + kSample12, -4, 204},
    {"LaunchOver64KiBWithBlockAtTheEnd", kBig + kSample11, kSample13, kBig + kSample13, -4, 204},
    {"LoaderByteOrderMarkIsNoPartOfTheBlock", kOther, kBom + kSample12,
     kOther + "\r\n" + kSample12 + "\r\n", -2, 205},
    {"LaunchByteOrderMarkStaysOnAdd", kBom + kOther, kSample12,
     kBom + kOther + "\r\n" + kSample12 + "\r\n", -2, 205},
    {"LaunchByteOrderMarkStaysOnUpdate", kBom + kSample12 + kOther, kSample13,
     kBom + kSample13 + kOther, -4, 204},
    {"LaunchByteOrderMarkBeforeRegisteredBlock", kBom + kSample12, kSample12, std::nullopt, -3,
     206},
};

class RegisterAddonTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(RegisterAddonTest, WritesTheExpectedFile) {
    const EditCase& c = GetParam();
    Bench bench(c.launch, c.loader);
    EXPECT_EQ(RegisterAddon(bench.run, kLaunchPath), c.result);
    EXPECT_EQ(bench.Launch(), c.expected ? c.expected : c.launch);
    EXPECT_EQ(bench.files.ReplaceCount(), c.expected ? 1 : 0);
    EXPECT_EQ(bench.step, c.step);
    EXPECT_TRUE(bench.ui.boxes.empty());
    const std::string loaderText =
        c.loader.starts_with(kBom) ? c.loader.substr(kBom.size()) : c.loader;
    EXPECT_EQ(bench.status,
              (std::vector<std::string>{"Reading: " + kLaunchPath, "Reading: " + kLoaderPath,
                                        ">>>Finding: " + loaderText, "Reading: " + kLaunchPath}));
}

INSTANTIATE_TEST_SUITE_P(Cases, RegisterAddonTest, ::testing::ValuesIn(kRegisterCases), CaseName);

const EditCase kRemoveCases[] = {
    {"RemovesTheBlock", kExample, kSample12, kOther, -5, 0},
    {"LoaderWithoutEndLine", kExample, "[Sample-1.2]\r\nrun=x\r\n", kOther, -5, 0},
    {"DropsEmptyLines", kOther + "\r\n" + kSample12 + "\r\n\r\n", kSample12, kOther, -5, 0},
    {"OtherRevisionStays", kOther + "\r\n" + kSample12 + "\r\n\r\n", "[Sample-1.1]\r\n", kExample,
     -5, 0},
    {"EveryBlockOfTheRevision", kSample12 + kOther + kSample12, kSample12, kOther, -5, 0},
    {"BlockWithoutEndMarker", kOther + Lines({"[Sample-1.2]", "x", "[Third-1.0]", "y"}), kSample12,
     kOther, -5, 0},
    {"NoLaunchFile", std::nullopt, kSample12, "\r\n", -5, 0},
    {"LongerRevisionIsRemoved", kOther + Lines({"[Sample-1.25]", "x", "/ [EOA]"}), kSample12,
     kOther, -5, 0},
    {"KeyLineWithEndMarkerStartsABlock", Lines({"[Sample-1.2] / [EOA]", "x", "/ [EOA]"}) + kOther,
     kSample12, kOther, -5, 0},
    {"SampleToolsBesideSampleStays", kTools + kSample12, kSample12, kTools, -5, 0},
    {"ToolsRemovalLeavesSampleTools", kTools + Lines({"[Tools-1.2]", "t", "/ [EOA]"}),
     "[Tools-1.2]\r\n", kTools, -5, 0},
    {"SettingLineNamingTheAddonStays", kNamer + kSample12, kSample12, kNamer, -5, 0},
    {"LaunchByteOrderMarkStaysFirst", kBom + kSample12 + kOther, kSample12, kBom + kOther, -5, 0},
    // Kept lines grow by their LF here, so the rewrite cannot stay in the text's own storage.
    {"LoneCrLinesAroundTheBlock", "a\rb\r" + kSample12 + "c\rd", kSample12,
     Lines({"a", "b", "c", "d"}), -5, 0},
};

class RemoveAddonTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(RemoveAddonTest, WritesTheExpectedFile) {
    const EditCase& c = GetParam();
    Bench bench(c.launch, c.loader);
    bench.step = 7;
    EXPECT_EQ(RemoveAddon(bench.run, kLaunchPath), c.result);
    EXPECT_EQ(bench.Launch(), c.expected);
    EXPECT_EQ(bench.step, 7);
    EXPECT_TRUE(bench.ui.boxes.empty());
    EXPECT_EQ(bench.status,
              (std::vector<std::string>{"Reading: " + kLaunchPath, "Reading: " + kLoaderPath}));
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveAddonTest, ::testing::ValuesIn(kRemoveCases), CaseName);

// A loader without any CR was saved with LF line ends: each LF ends a line as CR LF would. One
// holding a CR keeps the CR rules, lone LFs dropped from lines and copied into a replacing block.
TEST(LaunchEdits, LoaderLineEndsForAddUpdateAndRemoval) {
    struct Case {
        const char* name;
        std::string loader;   // of Sample 1.3
        std::string added;    // to kOther
        std::string updated;  // from kExample's Sample 1.2
    };
    const std::string crLfAdded = kOther + "\r\n" + kSample13 + "\r\n";
    const Case cases[] = {
        {"CrLf", kSample13, crLfAdded, kOther + kSample13},
        {"LfOnly", "[Sample-1.3]\nfirst setting line for Kelvane\n/ [EOA]\n", crLfAdded,
         kOther + kSample13},
        {"LfOnlyWithoutFinalLf", "[Sample-1.3]\nfirst setting line for Kelvane\n/ [EOA]",
         kOther + "\r\n" + kSample13, kOther + kSample13},
        {"LfOnlyAfterByteOrderMark",
         kBom + "[Sample-1.3]\nfirst setting line for Kelvane\n/ [EOA]\n", crLfAdded,
         kOther + kSample13},
        {"CrOnly", "[Sample-1.3]\rfirst setting line for Kelvane\r/ [EOA]\r",
         kOther + "\r\n" + kSample13,
         kOther + "[Sample-1.3]\r\nfirst setting line for Kelvane\r/ [EOA]\r\n"},
        {"Mixed", "[Sample-1.3]\r\nfirst\nsetting\r\n/ [EOA]\r\n",
         kOther + "\r\n" + Lines({"[Sample-1.3]", "firstsetting", "/ [EOA]", ""}),
         kOther + "[Sample-1.3]\r\nfirst\nsetting\r\n/ [EOA]\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench add(kOther, c.loader);
        EXPECT_EQ(RegisterAddon(add.run, kLaunchPath), LaunchResult::Added);
        EXPECT_EQ(add.Launch(), c.added);
        Bench update(kExample, c.loader);
        EXPECT_EQ(RegisterAddon(update.run, kLaunchPath), LaunchResult::Replaced);
        EXPECT_EQ(update.Launch(), c.updated);
        Bench removal(kExample + kSample13, c.loader);
        EXPECT_EQ(RemoveAddon(removal.run, kLaunchPath), LaunchResult::Removed);
        EXPECT_EQ(removal.Launch(), kExample);
    }
}

std::string ErrorBox(int step, const std::string& regId, int pos1, int pos2, int pos3,
                     const std::string& appName, const std::string& appRev) {
    return "Error at Step: " + std::to_string(step) + "\r\n>>>RegID=" + regId +
           ", Pos1=" + std::to_string(pos1) + ", pos2=" + std::to_string(pos2) +
           ", pos3=" + std::to_string(pos3) + ", AppName=" + appName + ", AppRev=" + appRev;
}

const std::string kNoEndLine(kNoEndLineRefusal);

TEST(RegisterAddonErrors, ShowTheStepBoxAndLeaveTheFile) {
    struct Case {
        Text loader;
        std::int32_t lookupError;
        std::string box;
        std::size_t progressLines;
        std::vector<std::string> reasons;  // the status lines after them
    };
    const std::string farBracket = std::string(32767, 'x') + "[Sample-1.2]";
    const Case cases[] = {
        {"[Sample 1.2]\r\n", 0, ErrorBox(203, "[Sample 1.2]", 1, 0, 12, "", ""), 3, {}},
        {"[-1.2]\r\n", 0, ErrorBox(203, "[-1.2]", 1, 2, 6, "", ""), 3, {}},
        {"[Sample-1.2\r\n", 0, ErrorBox(203, "[Sample-1.2", 1, 8, 0, "Sample", ""), 3, {}},
        {std::nullopt, 0, ErrorBox(203, "", 0, 0, 0, "", ""), 3, {}},
        {farBracket, 0, ErrorBox(203, farBracket, 0, 0, 0, "", ""), 3, {}},
        {kSample12,
         ErrorNumber::BadFileNameOrNumber,
         ErrorBox(201, "", 0, 0, 0, "", ""),
         1,
         {"Reading Launch.local failed (Bad file name or number, Step = 1)"}},
        // No end line after the first: the block would run on through whatever follows it.
        {"[Sample-1.2]",
         0,
         ErrorBox(203, "[Sample-1.2]", 1, 8, 12, "Sample", "1.2"),
         3,
         {kNoEndLine}},
        {"[Sample-1.3]\r\nrun=x\r\n",
         0,
         ErrorBox(203, "[Sample-1.3]", 1, 8, 12, "Sample", "1.3"),
         3,
         {kNoEndLine}},
        {"[Fresh-1.0] / [EOA]\r\nrun=x\r\n",
         0,
         ErrorBox(203, "[Fresh-1.0] / [EOA]", 1, 7, 11, "Fresh", "1.0"),
         3,
         {kNoEndLine}},
        {"[Fresh-1.0]\nrun=x\n/ [EO\n",
         0,
         ErrorBox(203, "[Fresh-1.0]", 1, 7, 11, "Fresh", "1.0"),
         3,
         {kNoEndLine}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box.substr(0, 60));
        Bench bench(kExample, c.loader);
        if (c.lookupError != 0) {
            bench.files.FailLookups(c.lookupError);
        }
        EXPECT_EQ(RegisterAddon(bench.run, kLaunchPath), 0);
        ASSERT_EQ(bench.ui.boxes.size(), 1u);
        EXPECT_EQ(bench.ui.boxes[0].kind, "ok");
        EXPECT_EQ(bench.ui.boxes[0].title, "");
        EXPECT_EQ(bench.ui.boxes[0].text, c.box);
        EXPECT_EQ(bench.status.size(), c.progressLines + c.reasons.size());
        EXPECT_EQ(bench.reasons, c.reasons);
        EXPECT_EQ(bench.files.ReplaceCount(), 0);
        EXPECT_EQ(bench.Launch(), kExample);
    }
}

TEST(RemoveAddonErrors, PassToTheCallerWithTheFileUntouched) {
    struct Case {
        Text loader;
        std::int32_t lookupError;
        std::int32_t raised;
        std::size_t statusLines;
    };
    const Case cases[] = {
        {"[Sample1.2]\r\n", 0, ErrorNumber::InvalidProcedureCall, 2},
        {"[-1.2]\r\n", 0, ErrorNumber::InvalidProcedureCall, 2},
        {std::string(32767, 'x') + "[Sample-1.2]", 0, ErrorNumber::Overflow, 2},
        {kSample12, ErrorNumber::BadFileNameOrNumber,
         ErrorNumber::BadFileNameOrNumber + ErrorNumber::ObjectErrorBase, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raised);
        Bench bench(kExample, c.loader);
        if (c.lookupError != 0) {
            bench.files.FailLookups(c.lookupError);
        }
        try {
            RemoveAddon(bench.run, kLaunchPath);
            ADD_FAILURE() << "no error passed on";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), c.raised);
        }
        EXPECT_EQ(bench.status.size(), c.statusLines);
        EXPECT_TRUE(bench.ui.boxes.empty());
        EXPECT_EQ(bench.files.ReplaceCount(), 0);
        EXPECT_EQ(bench.Launch(), kExample);
    }
}

// A lone LF may end a line for the host. A rewrite that would join two of its lines, or take a
// block's first or last line from such a line, leaves the file as it is and says why; a lone LF
// inside a dropped block, or beside a line end, joins nothing.
TEST(LaunchEdits, LoneLfRefusesOnlyARewriteThatWouldJoinLines) {
    struct Case {
        const char* name;
        std::string launch;
        Text removed;  // nullopt: refused
        Text updated;  // to [Sample-1.3]; nullopt: refused
    };
    const Case cases[] = {
        {"KeptLine", "x\ny\r\n" + kSample12 + "z\r\n", std::nullopt, std::nullopt},
        {"KeyLineSplitByLf", kOther + "[Sam\nple-1.2]\r\nx\r\n/ [EOA]\r\n", std::nullopt,
         std::nullopt},
        {"LfOnlyFileStartingWithTheAddon", "[Sample-1.2]\nx\n/ [EOA]\n[Other-3.0]\ny\n/ [EOA]\n",
         std::nullopt, std::nullopt},
        {"EndMarkerJoinedToTheNextBlock",
         "[Sample-1.2]\r\nx\r\n/ [EOA]\n[Other-3.0]\r\n/ [EOA]\r\n", std::nullopt, std::nullopt},
        {"InsideTheDroppedBlock", kOther + "[Sample-1.2]\r\na\nb\r\n/ [EOA]\r\n", kOther,
         kOther + kSample13},
        {"BesideLineEnds", "x\n\r\n\ny\r" + kSample12 + "\n\n", Lines({"x", "y"}),
         Lines({"x", "y"}) + kSample13},
        // A block without an end line takes every line to the end of the file with it.
        {"InsideABlockWithoutEndLine",
         "[Radar-2]\r\n/ [EOA]\r\n[Sample-1.2]\r\nrun=x\n[Other-1]\r\n", std::nullopt,
         std::nullopt},
        {"InsideABlockWithoutEndLineBeforeItsRestart",
         "[Sample-1.2]\r\na\nb\r\n[Sample-1.2]\r\nc\r\n", std::nullopt, std::nullopt},
        {"BesideLineEndsInABlockWithoutEndLine", kOther + "[Sample-1.2]\r\nx\r\n\ny\n", kOther,
         kOther + kSample13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench removal(c.launch, kSample12);
        const std::int16_t removed = RemoveAddon(removal.run, kLaunchPath);
        EXPECT_EQ(removal.Launch(), c.removed ? c.removed : c.launch);
        EXPECT_EQ(removed, c.removed ? -5 : ErrorNumber::InvalidFileFormat);
        EXPECT_EQ(removal.status.size(), c.removed ? 2u : 3u);

        Bench update(c.launch, kSample13);
        const std::int16_t updated = RegisterAddon(update.run, kLaunchPath);
        EXPECT_EQ(update.Launch(), c.updated ? c.updated : c.launch);
        EXPECT_EQ(updated, c.updated ? -4 : 0);
        EXPECT_EQ(update.ui.boxes.size(), c.updated ? 0u : 1u);
        if (!c.updated && !update.ui.boxes.empty()) {
            EXPECT_TRUE(update.ui.boxes[0].text.starts_with("Error at Step: 204\r\n"));
        }
        for (const Bench* bench : {&removal, &update}) {
            const bool refused = bench == &removal ? !c.removed : !c.updated;
            EXPECT_EQ(bench->reasons, refused
                                          ? std::vector<std::string>{std::string(kLoneLfRefusal)}
                                          : std::vector<std::string>{});
        }
    }
}

TEST(LaunchEdits, FailedWriteGivesTheErrorNumberAndKeepsTheOldFile) {
    struct Case {
        bool install;
        std::string launch;
        std::string loader;
    };
    const Case cases[] = {
        {true, kOther, kSample12}, {true, kExample, kSample13}, {false, kExample, kSample12}};
    for (const Case& c : cases) {
        Bench bench(c.launch, c.loader);
        bench.files.FailReplaces(ErrorNumber::PermissionDenied);
        const std::int16_t result =
            c.install ? RegisterAddon(bench.run, kLaunchPath) : RemoveAddon(bench.run, kLaunchPath);
        EXPECT_EQ(result, ErrorNumber::PermissionDenied);
        EXPECT_EQ(bench.Launch(), c.launch);
        EXPECT_TRUE(bench.ui.boxes.empty());
        EXPECT_EQ(bench.reasons,
                  std::vector<std::string>{"Writing Launch.local failed (Permission denied)"});
    }
}

// A file the edit would make larger than what may be read could never be edited again: the edit
// stops at "Result = 7" with the file as it was, while one that ends exactly at the limit is made.
TEST(LaunchEdits, EditThatWouldOutgrowTheReadLimitIsRefused) {
    struct Case {
        bool install;
        std::string launch;
        std::string loader;
        std::int16_t done;
    };
    const Case cases[] = {
        {true, kOther, kSample12, LaunchResult::Added},
        {true, kOther + kSample11, kSample13 + Lines({"a longer setting"}), LaunchResult::Replaced},
        // A removal grows a file whose last line lacks its CR LF.
        {false, kOther + "last line", kSample12, LaunchResult::Removed},
    };
    for (const Case& c : cases) {
        Bench unlimited(c.launch, c.loader);
        const std::int16_t done = c.install ? RegisterAddon(unlimited.run, kLaunchPath)
                                            : RemoveAddon(unlimited.run, kLaunchPath);
        ASSERT_EQ(done, c.done);
        const std::uint64_t length = unlimited.Launch()->size();
        SCOPED_TRACE(unlimited.status.back());
        for (const std::uint64_t limit : {length, length - 1}) {
            SCOPED_TRACE(limit);
            // The file itself must stay readable under the limit for the edit to get as far.
            if (c.launch.size() > limit) {
                continue;
            }
            Bench bench(c.launch, c.loader, limit);
            const std::int16_t result = c.install ? RegisterAddon(bench.run, kLaunchPath)
                                                  : RemoveAddon(bench.run, kLaunchPath);
            EXPECT_EQ(result, limit == length ? c.done : ErrorNumber::OutOfMemory);
            EXPECT_EQ(bench.Launch(), limit == length ? unlimited.Launch() : c.launch);
            EXPECT_TRUE(bench.ui.boxes.empty());
            EXPECT_EQ(bench.reasons.size(), limit == length ? 0u : 1u);
        }
    }
}

// A line that GetLine could not take for want of memory must not vanish from the rewritten file:
// the edit fails and Launch.local stays as it was.
TEST(LaunchEdits, LineLostForWantOfMemoryStopsTheEdit) {
    // Naming the add-on, so that every walk takes the long line rather than passing over it.
    const std::string longLine = "needs Sample" + std::string(40000, 'o');
    const std::string launch = Lines({"[Other-3.0]", longLine, "/ [EOA]"}) + kSample11;
    const auto namePosition = static_cast<int>(launch.find("[Sample-1.1]")) + 2;
    const std::string getLineBox = "String Error 7, Out of memory\r\n";
    struct Case {
        std::string launch;
        std::string loader;
        int nth;  // which copy of the long line fails (the presence search also cuts it as a RegID)
        int pos1;
    };
    const Case cases[] = {
        {launch, kSample13, 1, 1},             // the presence search
        {launch, kSample13, 3, namePosition},  // the rebuild
        {kOther, Lines({"[Sample-1.3]", longLine, "/ [EOA]", "more"}), 1, 0},  // the added block
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nth);
        Bench bench(c.launch, c.loader);
        testing::FailAllocation(longLine.size(), longLine.size() + 16, c.nth);
        EXPECT_EQ(RegisterAddon(bench.run, kLaunchPath), 0);
        ASSERT_EQ(bench.ui.boxes.size(), 2u) << bench.ui.boxes[0].text;
        EXPECT_EQ(bench.ui.boxes[0].title, "GetLine Error");
        EXPECT_EQ(bench.ui.boxes[0].text, getLineBox);
        EXPECT_EQ(bench.ui.boxes[1].text,
                  ErrorBox(204, "[Sample-1.3]", c.pos1, 8, 12, "Sample", "1.3"));
        EXPECT_EQ(bench.Launch(), c.launch);
    }
    Bench bench(launch, kSample11);
    testing::FailAllocation(longLine.size(), longLine.size() + 16);
    try {
        RemoveAddon(bench.run, kLaunchPath);
        ADD_FAILURE() << "no error passed on";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ErrorNumber::OutOfMemory);
    }
    ASSERT_EQ(bench.ui.boxes.size(), 1u);
    EXPECT_EQ(bench.ui.boxes[0].text, getLineBox);
    EXPECT_EQ(bench.Launch(), launch);
}

}  // namespace
}  // namespace brelmont
