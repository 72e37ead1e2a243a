#pragma once

// What another process may do to Launch.local between the program's read and its replace, staged
// at that moment through the host's replace hook rather than left to timing. The same cases for
// both hosts' file services.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/RuntimeError.h"
#include "tests/testkit/ScratchDirectory.h"

namespace brelmont::testing {

struct Meanwhile {
    const char* name;
    std::function<void(const ScratchDirectory&)> act;
    std::int32_t number;      // 0: replaced
    const char* launchAfter;  // what the name leads to afterwards
};

// The cases every host shares; a host adds its own (a link swapped in, where it has links).
inline std::vector<Meanwhile> CommonMeanwhiles() {
    return {
        {"nothing", [](const ScratchDirectory&) {}, 0, "new"},
        {"another file moved over it",
         [](const ScratchDirectory& s) {
             WriteBytes(s.At("other"), "other");
             std::filesystem::rename(s.At("other"), s.At("Launch.local"));
         },
         ErrorNumber::PathFileAccessError, "other"},
        {"removed",
         [](const ScratchDirectory& s) { std::filesystem::remove(s.At("Launch.local")); },
         ErrorNumber::PathFileAccessError, ""},
    };
}

// The replace goes ahead only while the name leads to the file that was read; no temporary file
// is left either way.
template <class Files>
void ExpectReplacesOnlyTheFileThatWasRead(Files& files, const ScratchDirectory& scratch,
                                          const std::vector<Meanwhile>& cases) {
    const std::string launch = scratch.At("Launch.local");
    for (const Meanwhile& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        std::filesystem::remove(launch, ignored);
        std::filesystem::remove(scratch.At("target"), ignored);
        WriteBytes(launch, "old");
        ASSERT_EQ(files.ReadFile(launch, 3), "old");
        files.BeforeReplace([&] { c.act(scratch); });
        EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(launch, "new"); }), c.number);
        files.BeforeReplace(nullptr);
        EXPECT_EQ(ReadBytes(launch), c.launchAfter);
        const std::set<std::string> left = Entries(scratch.root);
        EXPECT_TRUE(std::none_of(left.begin(), left.end(),
                                 [](const std::string& name) { return name.starts_with("."); }));
    }
}

// A file that was absent when the program looked, and appears before the new one goes in place,
// is somebody else's: it stays.
template <class Files>
void ExpectNeverCreatesOverAFileThatAppeared(Files& files, const ScratchDirectory& scratch) {
    const std::string launch = scratch.At("Launch.local");
    EXPECT_FALSE(files.OrdinaryFileExists(launch));
    files.BeforeReplace([&] { WriteBytes(launch, "theirs"); });
    EXPECT_EQ(ErrorNumberOf([&] { files.ReplaceFile(launch, "new"); }),
              ErrorNumber::PathFileAccessError);
    files.BeforeReplace(nullptr);
    EXPECT_EQ(ReadBytes(launch), "theirs");
}

}  // namespace brelmont::testing
