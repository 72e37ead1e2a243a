#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace brelmont::posix {

// Owns one file descriptor and closes it on every way out of a scope.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const noexcept { return fd_; }
    bool Valid() const noexcept { return fd_ >= 0; }

    // Gives up ownership to whoever takes the descriptor over.
    int Release() noexcept { return std::exchange(fd_, -1); }

    // Closes now and hands back what close said (0 or an errno): on some file systems a late
    // write error only shows at close. Linux frees the descriptor even then, so no retry.
    int Close() noexcept {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

  private:
    void Reset() noexcept {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    int fd_ = -1;
};

}  // namespace brelmont::posix
