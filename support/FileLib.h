#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "support/RuntimeError.h"

namespace brelmont {

class PiecedText;
namespace platform {
class FileSystem;
class EventLog;
}  // namespace platform

// Whole-file text reading and writing, one byte per character and no conversion. One object per
// run: it holds the module's step number that its trap reports.
class FileLib {
  public:
    // Text files larger than this are refused before a byte is read: nothing the program reads
    // comes near it, and reading one whole would take as much memory.
    static constexpr std::uint64_t kLargestTextFile = std::uint64_t{1} << 30;
    // The longest path Windows can name at all, in characters (here: bytes of the text as read).
    // A longer text from a file or the environment is no file name but a bad file name (52),
    // refused before it is shown, logged or used.
    static constexpr std::size_t kLongestPath = 32767;

    // `largestTextFile`: kLargestTextFile but in tests, which cannot afford files of that size.
    FileLib(platform::FileSystem& files, platform::EventLog& eventLog,
            std::uint64_t largestTextFile = kLargestTextFile)
        : files_(files), eventLog_(eventLog), largestTextFile_(largestTextFile) {}

    // True when an ordinary file matches `path`; false otherwise and on any failure.
    bool FileExists(const std::string& path);

    // True when an ordinary file matches `path` and is larger than the largest text file; false
    // otherwise and on any failure (the read then reports it).
    bool LargerThanReadable(const std::string& path);

    // The whole file, or the empty text when no ordinary file matches. Failures pass on through
    // the trap, reporting " FileLib:ReadTextFileContents, Step = " and the step; a file larger
    // than the largest text file is such a failure (out of memory), before anything is read.
    std::string ReadTextFileContents(const std::string& path);

    // Replaces the file's contents with `text`: -1 on success, else the failure's error number.
    // The old file stays as it was when the write fails. A text larger than the largest text file
    // is refused (out of memory) before anything is written: written, it could never be read back,
    // and so never be edited again.
    std::int16_t WriteTextFileContents(const std::string& path, const std::string& text);
    // The same for a text held in pieces.
    std::int16_t WriteTextFileContents(const std::string& path, const PiecedText& text);

    std::int16_t Step() const { return step_; }
    // The description of the last failure, a failed write's too.
    const std::string& LastErrorText() const { return lastErrorText_; }
    platform::FileSystem& Files() { return files_; }

  private:
    std::int16_t WritePieces(const std::string& path, std::span<const std::string_view> pieces);

    platform::FileSystem& files_;
    platform::EventLog& eventLog_;
    std::uint64_t largestTextFile_;
    std::int16_t step_ = 0;
    std::string lastErrorText_;
};

}  // namespace brelmont
