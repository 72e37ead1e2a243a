// Whether Qt can open the display, tried in a child: a display that cannot be opened must be
// told from one that can without ending this process, and a display that never answers must not
// hold the run past its bound.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ui/qt/DisplayProbe.h"

namespace brelmont::qtui {
namespace {

using std::chrono::milliseconds;

// An X display on 127.0.0.1 that takes the connection and never answers it.
class SilentDisplay {
  public:
    SilentDisplay() {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        for (int number = 40; number < 100 && display_.empty(); ++number) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<std::uint16_t>(6000 + number));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                ::listen(socket_, 4) == 0) {
                display_ = "127.0.0.1:" + std::to_string(number);
            }
        }
    }
    ~SilentDisplay() { ::close(socket_); }
    SilentDisplay(const SilentDisplay&) = delete;
    SilentDisplay& operator=(const SilentDisplay&) = delete;

    const std::string& Name() const { return display_; }

  private:
    int socket_ = -1;
    std::string display_;
};

struct ProbeCase {
    const char* name;
    const char* platform;
    std::string display;
    bool opens;
    std::string reason;  // a part of it
};

void PrintTo(const ProbeCase& c, std::ostream* os) {
    *os << c.name;
}

class DisplayProbeTest : public ::testing::TestWithParam<ProbeCase> {
  protected:
    void TearDown() override {
        ::unsetenv("QT_QPA_PLATFORM");
        ::unsetenv("DISPLAY");
    }
};

const std::string kSilent = "silent";  // replaced by the silent display's name

TEST_P(DisplayProbeTest, TellsWhetherQtCanOpenIt) {
    const ProbeCase& c = GetParam();
    const SilentDisplay silent;
    const std::string display = c.display == kSilent ? silent.Name() : c.display;
    ASSERT_FALSE(display.empty()) << "no free port for a silent display";
    ::setenv("QT_QPA_PLATFORM", c.platform, 1);
    ::setenv("DISPLAY", display.c_str(), 1);

    const DisplayProbe probe = ProbeDisplay({"brelmont", "install,x.local"}, milliseconds(1500));

    EXPECT_EQ(probe.opens, c.opens) << probe.reason;
    EXPECT_NE(probe.reason.find(c.reason), std::string::npos) << probe.reason;
    EXPECT_EQ(probe.reason.find('\n'), std::string::npos) << "one line: " << probe.reason;
}

INSTANTIATE_TEST_SUITE_P(Displays, DisplayProbeTest,
                         ::testing::Values(ProbeCase{"Offscreen", "offscreen", ":97.0", true, ""},
                                           ProbeCase{"NoSuchXDisplay", "xcb", ":97.0", false,
                                                     "could not connect to display :97.0"},
                                           ProbeCase{"NoSuchPlatform", "nosuchplatform", ":97.0",
                                                     false, "nosuchplatform"},
                                           ProbeCase{"XDisplayThatNeverAnswers", "xcb", kSilent,
                                                     false, "the display gave no answer in 1 s"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brelmont::qtui
