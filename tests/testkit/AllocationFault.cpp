#include "tests/testkit/AllocationFault.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t gMinSize = 0;
std::size_t gMaxSize = 0;
int gCountdown = 0;

}  // namespace

namespace brelmont::testing {

void FailAllocation(std::size_t minSize, std::size_t maxSize, int nth) {
    gMinSize = minSize;
    gMaxSize = maxSize;
    gCountdown = nth;
}

}  // namespace brelmont::testing

void* operator new(std::size_t size) {
    if (gCountdown > 0 && size >= gMinSize && size <= gMaxSize && --gCountdown == 0) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

// The array forms too: a sanitizer's runtime serves them itself instead of through operator new.
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
