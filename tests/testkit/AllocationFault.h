#pragma once

#include <cstddef>

namespace brelmont::testing {

// Makes the `nth` coming allocation whose size lies in [minSize, maxSize] throw std::bad_alloc, so
// that a routine can be made to run out of memory at one chosen place. Disarmed after it fired.
void FailAllocation(std::size_t minSize, std::size_t maxSize, int nth = 1);

}  // namespace brelmont::testing
