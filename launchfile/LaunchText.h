#pragma once

// Pieces that registration and removal share.

#include <memory>
#include <string>
#include <string_view>

namespace brelmont {

class FileLib;
class LineText;
namespace platform {
class DirectoryLock;
class FileSystem;
}  // namespace platform

inline constexpr std::string_view kEndOfAddon = "/ [EOA]";

// Locks the directory that holds Launch.local, so that two runs editing the same file take turns
// from its read to its replace. Best effort: without a lock the edit still runs.
std::unique_ptr<platform::DirectoryLock> LockLaunchDirectory(platform::FileSystem& files,
                                                             const std::string& launchPath);

// The loader file's text without a leading byte-order mark, which is no part of its first line.
std::string ReadLoaderText(FileLib& fileLib, const std::string& loaderFile);

// Ends a rewritten text with exactly one CR LF (the trailing run of CR and LF replaced in place).
std::string FinishRewrite(std::string body);

// Throws the out-of-memory error when a walk lost a line, so that nothing half-read is written.
void RequireWholeWalk(const LineText& walk);

}  // namespace brelmont
