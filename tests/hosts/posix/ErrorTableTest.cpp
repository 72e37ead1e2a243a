#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "hosts/posix/ErrorTable.h"

namespace brelmont::posix::test {
namespace {

// The 53-versus-76 choice on real paths is covered where files are read and written.
TEST(ErrorTableTest, MapsEachErrnoToItsClassicNumber) {
    const std::pair<int, std::int32_t> cases[] = {
        {ENOENT, 53}, {ENOTDIR, 76},   {EACCES, 70}, {EPERM, 70},  {EROFS, 70},
        {EBUSY, 70},  {ETXTBSY, 70},   {ENOSPC, 61}, {EDQUOT, 61}, {EFBIG, 61},
        {EIO, 57},    {ENOMEM, 7},     {EISDIR, 75}, {ELOOP, 75},  {ENAMETOOLONG, 75},
        {EINVAL, 5},  {EMFILE, 67},    {ENFILE, 67}, {EEXIST, 58}, {EXDEV, 74},
        {EAGAIN, 57}, {ENOTEMPTY, 57}, {0, 57},
    };
    for (const auto& [errnoValue, number] : cases) {
        SCOPED_TRACE(std::strerror(errnoValue));
        EXPECT_EQ(ErrorNumberFor(errnoValue), number);
        EXPECT_EQ(ErrorNumberFor(errnoValue, true), errnoValue == ENOENT ? 76 : number);
    }
}

}  // namespace
}  // namespace brelmont::posix::test
