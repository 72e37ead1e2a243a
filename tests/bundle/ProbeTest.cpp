// A test program that passes, fails, skips, never ends, or fails only its first time in its
// folder ("flaky") as BRELMONT_PROBE says: what the bundle's runner must tell apart.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

TEST(Probe, Behaves) {
    const char* mode = std::getenv("BRELMONT_PROBE");
    const std::string behaviour = mode != nullptr ? mode : "";
    if (behaviour == "skip") {
        GTEST_SKIP() << "the probe was asked to skip";
    }
    if (behaviour == "hang") {
        ::Sleep(INFINITE);
    }
    EXPECT_NE(behaviour, "fail") << "the probe was asked to fail";
    if (behaviour == "flaky") {
        const std::filesystem::path mark = "probe-failed-once";
        const bool first = !std::filesystem::exists(mark);
        std::ofstream{mark};
        EXPECT_FALSE(first) << "the probe was asked to fail its first run";
    }
}
