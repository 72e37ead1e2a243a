#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "discovery/ConfReader.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont {
namespace {

using testing::MemoryFileSystem;
using testing::RecordingEventLog;

constexpr const char* kConf = "C:\\Program Files\\Kelvane\\Kelvane.conf";
constexpr std::int32_t kBase = ErrorNumber::ObjectErrorBase;

// A file system whose reads of an existing file fail with a given run-time error.
class FailingReads : public MemoryFileSystem {
  public:
    std::int32_t readError = 0;
    std::string ReadFile(const std::string& path, std::uint64_t length) override {
        if (readError != 0) {
            throw RuntimeError(readError);
        }
        return MemoryFileSystem::ReadFile(path, length);
    }
};

struct Reader {
    FailingReads files;
    RecordingEventLog eventLog;
    TrapState trap;

    Reader() { files.AddDirectory("C:\\Program Files\\Kelvane"); }

    std::string Read(const std::optional<std::string>& contents) {
        if (contents) {
            files.AddFile(kConf, *contents);
        }
        return GetPathFromConf(kConf, trap, files, eventLog);
    }
};

// Table cases print, and are named, by their `name`.
template <class Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
struct ByName {
    template <class Info>
    std::string operator()(const Info& info) const {
        return info.param.name;
    }
};

struct Found {
    const char* name;
    std::string contents;
    std::string dataDirectory;
};

class ConfReaderFinds : public ::testing::TestWithParam<Found> {};

TEST_P(ConfReaderFinds, DataDirectory) {
    Reader reader;
    EXPECT_EQ(reader.Read(GetParam().contents), GetParam().dataDirectory);
    EXPECT_TRUE(reader.eventLog.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfReaderFinds,
    ::testing::Values(
        Found{"EmptyFile", "", ""},
        Found{"NoDatadir", "[Main]\r\nINSTANCE=1\r\nNAME=Kelvane\r\n", ""},
        Found{"Plain", "[Main]\r\nINSTANCE=2\r\nDATADIR=C:\\Data\r\n", "C:\\Data"},
        Found{"LastLineWithoutLineEnd", "INSTANCE=2\r\nDATADIR=C:\\Data", "C:\\Data"},
        Found{"LowerCaseKey", "datadir=C:\\Data\r\n", "C:\\Data"},
        Found{"MixedCaseKey", "DataDir=C:\\Data\r\n", "C:\\Data"},
        Found{"SpacesAroundKeyValueKept", "  DATADIR = C:\\Data  \r\n", " C:\\Data  "},
        Found{"FurtherEqualsInValue", "DATADIR=C:\\A=B\r\n", "C:\\A=B"},
        Found{"EmptyValue", "DATADIR=\r\n", ""},
        Found{"LaterWinsSameSection", "DATADIR=C:\\One\r\nDATADIR=C:\\Two\r\n", "C:\\Two"},
        Found{"LaterWinsOtherSection", "[A]\r\nDATADIR=C:\\One\r\n[B]\r\nDATADIR=C:\\Two\r\n",
              "C:\\Two"},
        Found{"LaterEmptyWins", "DATADIR=C:\\One\r\nDATADIR=\r\n", ""},
        Found{"SectionHeaderIgnored", "[DATADIR=C:\\X]\r\n", ""},
        Found{"SpacedBracketIsKeyLine", "  [PATHS]\r\nDATADIR=C:\\Data\r\n", "C:\\Data"},
        Found{"TabBeforeKeyNoMatch", "\tDATADIR=C:\\X\r\n", ""},
        Found{"SemicolonIsNoComment", ";DATADIR=C:\\X\r\n", ""},
        Found{"CrOnlyLineEnds", "INSTANCE=1\rDATADIR=C:\\Data\r", "C:\\Data"},
        Found{"InstanceWithSpacesAndFraction", "INSTANCE= 2.5 \r\nDATADIR=C:\\Data\r\n",
              "C:\\Data"},
        Found{"LfOnlyIsOneLine", "DATADIR=C:\\Data\nINSTANCE=1\n", "C:\\DataINSTANCE=1"},
        Found{"LfOnlyHeaderIgnoredWhole", "[Main]\nDATADIR=C:\\Data\n", ""},
        Found{"BackslashAtEndKept", "DATADIR=C:\\Data\\\r\n", "C:\\Data\\"},
        Found{"LongestPathKept", "DATADIR=" + std::string(32767, 'x') + "\r\n",
              std::string(32767, 'x')}),
    ByName());

struct Fails {
    const char* name;
    std::optional<std::string> contents;  // none: no file
    std::int32_t readError;               // injected into reading an existing file
    std::int16_t step;
    std::int32_t raised;
    std::string description;  // of the caught failure
};

class ConfReaderFails : public ::testing::TestWithParam<Fails> {};

TEST_P(ConfReaderFails, TrapLogsOnceAndRaises) {
    const Fails& c = GetParam();
    Reader reader;
    reader.files.readError = c.readError;
    try {
        reader.Read(c.contents);
        FAIL() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), c.raised);
        EXPECT_EQ(error.Source(), "FileLib:GetPathFromConf");
        if (c.raised != ErrorNumber::Overflow) {
            EXPECT_EQ(error.Description(), c.description + ", Step = " + std::to_string(c.step));
        }
    }
    EXPECT_EQ(reader.trap.Step, c.step);
    EXPECT_EQ(reader.trap.LastErrorText, c.description);
    EXPECT_EQ(reader.eventLog.entries,
              std::vector<std::string>{
                  c.description + " FileLib:GetPathFromConf, Step = " + std::to_string(c.step)});
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConfReaderFails,
    ::testing::Values(
        Fails{"MissingFile", std::nullopt, 0, 1, 53 + kBase, "File not found"},
        Fails{"ReadFails", "DATADIR=C:\\Data\r\n", 70, 2, 70 + kBase, "Permission denied"},
        Fails{"CaughtNumberOverflowsBase", "DATADIR=C:\\Data\r\n", -262145, 2,
              ErrorNumber::Overflow, "Application-defined or object-defined error"},
        Fails{"DatadirWithoutEquals", "[Main]\r\nDATADIR\r\n", 0, 3, 9 + kBase,
              "Subscript out of range"},
        Fails{"InstanceWithoutEquals", "INSTANCE\r\nDATADIR=C:\\Data\r\n", 0, 3, 9 + kBase,
              "Subscript out of range"},
        Fails{"InstanceLetters", "INSTANCE=abc\r\nDATADIR=C:\\Data\r\n", 0, 3, -2147221491,
              "Type mismatch"},
        Fails{"InstanceEmpty", "DATADIR=C:\\Data\r\ninstance=\r\n", 0, 3, 13 + kBase,
              "Type mismatch"},
        Fails{"InstanceOutOfRange", "INSTANCE=32768\r\n", 0, 3, 6 + kBase, "Overflow"},
        Fails{"ReadsOnAfterDatadir", "DATADIR=C:\\Data\r\nINSTANCE=x\r\n", 0, 3, 13 + kBase,
              "Type mismatch"},
        Fails{"DatadirLongerThanAnyPath", "DATADIR=" + std::string(32768, 'x') + "\r\n", 0, 3,
              52 + kBase, "Bad file name or number"},
        Fails{"DatadirTooLongThoughALaterOneFits",
              "DATADIR=C:\\" + std::string(40000, 'x') + "\r\nDATADIR=C:\\Data\r\n", 0, 3,
              52 + kBase, "Bad file name or number"}),
    ByName());

struct Instance {
    const char* text;
    std::optional<std::int16_t> value;  // none: type mismatch
    bool overflow = false;
};
void PrintTo(const Instance& c, std::ostream* os) {
    *os << ::testing::PrintToString(std::string(c.text));
}

// Beyond the range of a double either way, against the sign of their exponents.
const std::string kHugeText = "1" + std::string(400, '0') + "e-1";
const std::string kTinyText = "0." + std::string(400, '0') + "1e+2";
const char* const kHugeTimesTenth = kHugeText.c_str();
const char* const kTinyTimesHundred = kTinyText.c_str();

class InstanceNumber : public ::testing::TestWithParam<Instance> {};

TEST_P(InstanceNumber, Reads) {
    const Instance& c = GetParam();
    if (c.value) {
        EXPECT_EQ(ReadInstanceNumber(c.text), *c.value) << '"' << c.text << '"';
        return;
    }
    try {
        ReadInstanceNumber(c.text);
        ADD_FAILURE() << '"' << c.text << "\" was read";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), c.overflow ? ErrorNumber::Overflow : ErrorNumber::TypeMismatch)
            << '"' << c.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, InstanceNumber,
    ::testing::Values(
        Instance{"2", 2}, Instance{" -3 ", -3}, Instance{"+7", 7}, Instance{"007", 7},
        Instance{"-0", 0}, Instance{"1e3", 1000}, Instance{"1E+2", 100}, Instance{"25e-1", 2},
        Instance{"2.5", 2}, Instance{"3.5", 4}, Instance{"-2.5", -2}, Instance{"0.5", 0},
        Instance{"1.5", 2}, Instance{"+.5", 0}, Instance{"5.", 5}, Instance{".5e1", 5},
        Instance{"1e-400", 0}, Instance{kTinyTimesHundred, 0}, Instance{"32767", 32767},
        Instance{"32767.4", 32767}, Instance{"32766.5", 32766}, Instance{"-32768", -32768},
        Instance{"-32768.5", -32768}, Instance{"32767.5", std::nullopt, true},
        Instance{"32768", std::nullopt, true}, Instance{"-32768.6", std::nullopt, true},
        Instance{"-32769", std::nullopt, true}, Instance{"1e400", std::nullopt, true},
        Instance{kHugeTimesTenth, std::nullopt, true}, Instance{"3.27675e4", std::nullopt, true},
        Instance{"", std::nullopt}, Instance{"   ", std::nullopt}, Instance{"abc", std::nullopt},
        Instance{"1e", std::nullopt}, Instance{"1e+", std::nullopt}, Instance{".", std::nullopt},
        Instance{"+", std::nullopt}, Instance{"--1", std::nullopt}, Instance{"1 2", std::nullopt},
        Instance{"12abc", std::nullopt}, Instance{"0x10", std::nullopt},
        Instance{"inf", std::nullopt}, Instance{"nan", std::nullopt},
        Instance{"1.2.3", std::nullopt}, Instance{"e3", std::nullopt}));

}  // namespace
}  // namespace brelmont
