#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "discovery/ProgramDirectories.h"
#include "support/RuntimeError.h"
#include "tests/testkit/ScriptedPlatform.h"

namespace brelmont {
namespace {

using testing::MemoryFileSystem;
using testing::ScriptedFrontEnd;
using Entries = std::vector<std::string>;

const std::string kLocations[] = {
    "C:\\Program Files\\Kelvane",
    "C:\\Program Files (x86)\\Kelvane",
    "C:\\Program Files\\Wexo Packet",
    "C:\\Program Files (x86)\\Wexo Packet",
};

// Every subset of the four install locations: the list holds exactly those, in the fixed order.
TEST(FindKelvaneDirs, ListsQualifyingLocationsInOrder) {
    for (int subset = 0; subset < 16; ++subset) {
        MemoryFileSystem files;
        std::string expected;
        for (int i = 0; i < 4; ++i) {
            if ((subset & (1 << i)) != 0) {
                files.AddFile(kLocations[i] + "\\Kelvane.conf", "DATADIR=C:\\D\r\n");
                expected += (expected.empty() ? "" : "\r\n") + kLocations[i];
            } else {
                files.AddFile(kLocations[i] + "\\readme.txt", "");  // directory without conf
            }
        }
        EXPECT_EQ(FindKelvaneDirs(files), expected) << "subset " << subset;
        EXPECT_EQ(CountCandidates(expected), std::popcount(static_cast<unsigned>(subset)));
    }
}

TEST(FindKelvaneDirs, OnlyOrdinaryFilesCount) {
    MemoryFileSystem files;
    files.AddFile(kLocations[0] + "\\Kelvane.conf", "", /*hidden=*/true);
    files.AddDirectory(kLocations[1] + "\\Kelvane.conf");
    files.AddFile(kLocations[2] + "\\Kelvane.conf.bak", "");
    files.AddFile("C:\\Program Files\\Kelvane2\\Kelvane.conf", "");
    EXPECT_EQ(FindKelvaneDirs(files), "");
    files.AddFile(kLocations[3] + "\\Kelvane.conf", "");
    EXPECT_EQ(FindKelvaneDirs(files), kLocations[3]);
}

TEST(FindKelvaneDirs, LookupFailurePassesToCaller) {
    MemoryFileSystem files;
    files.FailLookups(ErrorNumber::DeviceUnavailable);
    try {
        FindKelvaneDirs(files);
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), ErrorNumber::DeviceUnavailable);
    }
}

TEST(CountCandidates, PiecesSplitAtCrLf) {
    EXPECT_EQ(CountCandidates(""), 0);
    EXPECT_EQ(CountCandidates("C:\\A"), 1);
    EXPECT_EQ(CountCandidates("C:\\A\r\nC:\\B"), 2);
    EXPECT_EQ(CountCandidates("C:\\A\r\n"), 2);
    EXPECT_EQ(CountCandidates("C:\\A\nC:\\B\rC:\\C"), 1);
}

struct Fill {
    const char* list;
    Entries entries;
};
void PrintTo(const Fill& c, std::ostream* os) {
    *os << ::testing::PrintToString(std::string(c.list));
}

class FillPathList : public ::testing::TestWithParam<Fill> {};

TEST_P(FillPathList, OffersTrimmedLinesInOrder) {
    ScriptedFrontEnd boxes;
    EXPECT_EQ(brelmont::FillPathList(GetParam().list, boxes), GetParam().entries);
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FillPathList,
    ::testing::Values(Fill{"", {}}, Fill{"C:\\A\r\nC:\\B", {"C:\\A", "C:\\B"}},
                      Fill{"  C:\\A  \r\n C:\\B", {"C:\\A", "C:\\B"}},
                      Fill{"C:\\A\r\n\r\n   \r\nC:\\B\r\n", {"C:\\A", "C:\\B"}},
                      Fill{"/C:\\A\r\n  /x\r\nC:\\B/", {"C:\\B/"}}, Fill{"/only", {}},
                      Fill{"\tC:\\A", {"\tC:\\A"}}, Fill{"C:\\A\rC:\\B", {"C:\\A", "C:\\B"}},
                      Fill{"C:\\A\nC:\\B", {"C:\\AC:\\B"}},
                      Fill{"C:\\B\r\nC:\\A\r\nC:\\B", {"C:\\B", "C:\\A", "C:\\B"}}));

}  // namespace
}  // namespace brelmont
