#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Services.h"

namespace brelmont::qttest {

// Real files below a test's own directory: a drive path "X:\a\b" lives at <root>/X/a/b, and any
// other path is taken as a host path with "\" read as "/".
class TempFileSystem final : public platform::FileSystem {
  public:
    explicit TempFileSystem(std::filesystem::path root) : root_(std::move(root)) {}

    // For the test itself; Put creates the parent directories.
    void Put(const std::string& path, std::string_view contents);
    std::optional<std::string> Get(const std::string& path) const;

    std::string HostPath(const std::string& path) const override;
    bool OrdinaryFileExists(const std::string& path) override;
    std::uint64_t FileLength(const std::string& path) override;
    std::string ReadFile(const std::string& path, std::uint64_t length) override;
    void ReplaceFileContents(const std::string& path,
                             std::span<const std::string_view> pieces) override;
    void AppendToFile(const std::string& path, std::string_view contents) override;
    bool IsDirectory(const std::string& path) override;
    std::string CurrentDirectory() override;
    void ChangeDirectory(const std::string& path) override;
    std::unique_ptr<platform::DirectoryLock> LockDirectory(const std::string& path) override;

  private:
    std::filesystem::path root_;
};

class RecordingEventLog final : public platform::EventLog {
  public:
    void WriteError(const std::string& text) override { entries.push_back(text); }
    std::vector<std::string> entries;
};

class FixedClock final : public platform::Clock {
  public:
    platform::LocalTime Now() override { return {7, "Dec", 4, 30, 0}; }
};

class FixedProcess final : public platform::Process {
  public:
    std::string ArgumentText() override { return arguments; }
    std::string ProgramDirectory() override { return "C:\\Brelmont"; }
    platform::Version ProgramVersion() override { return {3, 3, 6}; }
    std::string arguments;
};

}  // namespace brelmont::qttest
