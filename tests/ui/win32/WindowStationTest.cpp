#include <gtest/gtest.h>

#include "ui/win32/WindowStation.h"

namespace brelmont::win32::test {
namespace {

// A service's station has no WSF_VISIBLE; an interactive desktop's has it among other flags.
TEST(WindowStationTest, VisibleOnlyWithTheVisibleFlag) {
    const struct {
        DWORD flags;
        bool visible;
    } cases[] = {{0, false}, {WSF_VISIBLE, true}, {WSF_VISIBLE | 0x100, true}, {0x100, false}};
    for (const auto& c : cases) {
        USEROBJECTFLAGS flags{};
        flags.dwFlags = c.flags;
        EXPECT_EQ(StationIsVisible(flags), c.visible) << c.flags;
    }
}

// Wine's desktop, like a user's, is visible.
TEST(WindowStationTest, ThisDesktopIsVisible) {
    EXPECT_TRUE(ProcessStationIsVisible());
}

}  // namespace
}  // namespace brelmont::win32::test
