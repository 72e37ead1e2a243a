// A test program that passes, fails, skips or never ends as BRELMONT_PROBE says: what the
// bundle's runner must tell apart.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
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
}
