#pragma once

#include <array>
#include <cstddef>

namespace brelmont::hosts {

// Staged failures of a host's system calls, for the tests: each point fails at most once, with the
// error code the system would have given (an errno, a Windows error code). `Point` is the host's
// enumeration of the calls that can be made to fail, `kPointCount` its number of values.
template <typename Point, typename Code, std::size_t kPointCount>
class FaultPlan {
  public:
    // The `nth` call (1-based, counted from now) at `point` fails with `code`; replaces what was
    // staged for that point before.
    void Inject(Point point, int nth, Code code) {
        armed_[static_cast<std::size_t>(point)] = Armed{nth, code};
    }
    void Clear() { armed_ = {}; }

    // Called just before each system call at `point`: 0 lets the call go ahead, anything else is
    // the error code it fails with instead.
    Code Strike(Point point) {
        Armed& armed = armed_[static_cast<std::size_t>(point)];
        if (armed.callsLeft <= 0 || --armed.callsLeft > 0) {
            return Code{};
        }
        return armed.code;
    }

  private:
    struct Armed {
        int callsLeft = 0;
        Code code{};
    };
    std::array<Armed, kPointCount> armed_{};
};

}  // namespace brelmont::hosts
