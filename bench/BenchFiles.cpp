#include "bench/BenchFiles.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace brelmont::bench {
namespace {

constexpr std::size_t kBlockSize = 300;

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

class Fd {
  public:
    Fd(const std::filesystem::path& path, int flags) : fd_(::open(path.c_str(), flags, 0644)) {
        if (fd_ < 0) {
            ThrowErrno("open " + path.string());
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }
    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            ThrowErrno("close");
        }
    }

  private:
    int fd_;
};

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno("write");
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// The cheapest memory a read can fill: uninitialised, on huge pages where the system offers them
// (as the program asks for its large read buffers), so that the floor is never beaten by the way
// memory is taken rather than by less work.
class FloorBuffer {
  public:
    explicit FloorBuffer(std::size_t size) : mapped_(size + kHugePage) {
        void* area =
            ::mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) {
            ThrowErrno("mmap");
        }
        area_ = static_cast<char*>(area);
        const auto start = reinterpret_cast<std::uintptr_t>(area_);
        data_ = area_ + (((start + kHugePage - 1) & ~(kHugePage - 1)) - start);
        ::madvise(data_, (size + kHugePage - 1) & ~(kHugePage - 1), MADV_HUGEPAGE);
    }
    FloorBuffer(const FloorBuffer&) = delete;
    FloorBuffer& operator=(const FloorBuffer&) = delete;
    ~FloorBuffer() { ::munmap(area_, mapped_); }
    char* Data() { return data_; }

  private:
    static constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    std::size_t mapped_;
    char* area_ = nullptr;
    char* data_ = nullptr;
};

void FlushAndClose(Fd& fd) {
    if (::fsync(fd.Get()) != 0) {
        ThrowErrno("fsync");
    }
    fd.Close();
}

// One add-on block: RegID line, setting lines, end marker and an empty line, padded with a notes
// line to exactly kBlockSize bytes.
std::string Block(const std::string& name, const std::string& revision) {
    std::string block = "[" + name + "-" + revision + "]\r\n";
    block += "run=C:\\Program Files\\" + name + "\\" + name + ".exe\r\n";
    block += "args=--profile default --log-level 2\r\n";
    block += "menu=Add-ons\\" + name + "\\Open\r\n";
    block += "help=C:\\Program Files\\" + name + "\\help\\index.html\r\n";
    constexpr std::string_view kTail = "/ [EOA]\r\n\r\n";
    const std::string notesStart = "notes=";
    const std::size_t used = block.size() + notesStart.size() + 2 + kTail.size();
    block += notesStart + std::string(used < kBlockSize ? kBlockSize - used : 0, 'n') + "\r\n";
    block += kTail;
    return block;
}

std::string AddonName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "Addon%06zu", index);
    return name;
}

}  // namespace

std::string LaunchText(std::size_t size, SampleBlock sample) {
    const std::size_t blocks = std::max<std::size_t>(3, size / kBlockSize);
    std::string text;
    text.reserve(blocks * kBlockSize + kBlockSize);
    for (std::size_t i = 0; i < blocks; ++i) {
        if (i == blocks / 2 && sample != SampleBlock::None) {
            text += Block("Sample", sample == SampleBlock::OlderRevision ? "1.1" : "1.2");
        } else {
            text += Block(AddonName(i), "2.4");
        }
    }
    return text;
}

std::string ConfText(std::size_t size, std::string_view dataDirectory) {
    std::string text = "[Main]\r\nINSTANCE=1\r\n";
    const std::string tail = "DATADIR=" + std::string(dataDirectory) + "\r\n";
    for (std::size_t i = 0; text.size() + tail.size() < size; ++i) {
        if (i % 40 == 0) {
            text += "[Section" + std::to_string(i / 40) + "]\r\n";
        }
        text += "Setting" + std::to_string(i) + " = value of setting " + std::to_string(i) +
                ", some words of text\r\n";
    }
    return text + tail;
}

std::string SizeName(std::size_t size) {
    if (size >= (1u << 20) && size % (1u << 20) == 0) {
        return std::to_string(size >> 20) + "MiB";
    }
    return std::to_string(size >> 10) + "KiB";
}

void WriteFlushed(const std::filesystem::path& path, std::string_view bytes) {
    Fd fd(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC);
    WriteAll(fd.Get(), bytes.data(), bytes.size());
    FlushAndClose(fd);
}

std::size_t CopyFlushed(const std::filesystem::path& from, const std::filesystem::path& to) {
    Fd in(from, O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (::fstat(in.Get(), &status) != 0) {
        ThrowErrno("fstat");
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    FloorBuffer buffer(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(in.Get(), buffer.Data() + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ThrowErrno("read");
        }
        done += static_cast<std::size_t>(got);
    }
    in.Close();
    Fd out(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
    WriteAll(out.Get(), buffer.Data(), size);
    FlushAndClose(out);
    return size;
}

ScratchDirectory::ScratchDirectory(const std::string& stem) {
    std::string pattern = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ThrowErrno("mkdtemp");
    }
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string FileSystemKind(const std::filesystem::path& path) {
    struct statfs status {};
    if (::statfs(path.c_str(), &status) != 0) {
        return "unknown";
    }
    switch (static_cast<unsigned long>(status.f_type)) {
        case 0xEF53:
            return "ext4";
        case 0x01021994:
            return "tmpfs";
        case 0x58465342:
            return "xfs";
        case 0x9123683E:
            return "btrfs";
        case 0x794C7630:
            return "overlayfs";
        default: {
            char hex[32];
            std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(status.f_type));
            return hex;
        }
    }
}

}  // namespace brelmont::bench
