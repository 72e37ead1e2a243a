#include "tests/testkit/ScriptedPlatform.h"

#include <algorithm>

#include "app/RunBrelmont.h"
#include "app/RunOptions.h"
#include "support/RuntimeError.h"

namespace brelmont::testing {
namespace {

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern.empty()) {
        return name.empty();
    }
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip) {
            if (WildcardMatch(pattern.substr(1), name.substr(skip))) {
                return true;
            }
        }
        return false;
    }
    if (name.empty() || (pattern.front() != '?' && pattern.front() != name.front())) {
        return false;
    }
    return WildcardMatch(pattern.substr(1), name.substr(1));
}

std::string Parent(const std::string& key) {
    const std::size_t slash = key.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : key.substr(0, slash);
}

std::string LastComponent(const std::string& key) {
    const std::size_t slash = key.rfind('/');
    return slash == std::string::npos ? key : key.substr(slash + 1);
}

class CountedLock : public platform::DirectoryLock {};

}  // namespace

MemoryFileSystem::MemoryFileSystem() {
    directories_.insert("/");
}

std::string MemoryFileSystem::HostPath(const std::string& path) const {
    std::string host = path;
    std::replace(host.begin(), host.end(), '\\', '/');
    // Like the real file systems, a doubled separator names the same place.
    host.erase(
        std::unique(host.begin(), host.end(), [](char a, char b) { return a == '/' && b == '/'; }),
        host.end());
    return host;
}

std::string MemoryFileSystem::Key(const std::string& path) const {
    std::string key = HostPath(path);
    if (!key.empty() && key.front() != '/' && !(key.size() > 1 && key[1] == ':')) {
        key = currentDirectory_ + "/" + key;
    }
    while (key.size() > 1 && key.back() == '/') {
        key.pop_back();
    }
    return key;
}

void MemoryFileSystem::AddDirectory(const std::string& path) {
    std::string key = Key(path);
    while (key != "/" && !key.empty() && directories_.insert(key).second) {
        key = Parent(key);
        if (key.size() == 2 && key[1] == ':') {
            directories_.insert(key);
            break;
        }
    }
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& bytes, bool hidden) {
    const std::string key = Key(path);
    AddDirectory(Parent(key));
    files_[key] = File{bytes, hidden};
}

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
    const auto found = files_.find(Key(path));
    if (found == files_.end()) {
        return std::nullopt;
    }
    return found->second.bytes;
}

bool MemoryFileSystem::HasDirectory(const std::string& path) const {
    return directories_.contains(Key(path));
}

void MemoryFileSystem::FailReplaces(std::int32_t number, int count) {
    replaceError_ = number;
    replaceFailures_ = count;
}

void MemoryFileSystem::FailLookups(std::int32_t number) {
    lookupError_ = number;
}

void MemoryFileSystem::FailAppendsTo(const std::string& path, std::int32_t number) {
    appendErrors_[Key(path)] = number;
}

void MemoryFileSystem::CheckLookup() {
    if (lookupError_ != 0) {
        throw RuntimeError(lookupError_);
    }
}

void MemoryFileSystem::RequireParent(const std::string& key) const {
    if (!directories_.contains(Parent(key))) {
        throw RuntimeError(ErrorNumber::PathNotFound);
    }
}

bool MemoryFileSystem::OrdinaryFileExists(const std::string& path) {
    CheckLookup();
    if (path.empty()) {
        return false;
    }
    const std::string key = Key(path);
    const std::string parent = Parent(key);
    const std::string pattern = LastComponent(key);
    return std::any_of(files_.begin(), files_.end(), [&](const auto& entry) {
        return Parent(entry.first) == parent && !entry.second.hidden &&
               LastComponent(entry.first).front() != '.' &&
               WildcardMatch(pattern, LastComponent(entry.first));
    });
}

std::uint64_t MemoryFileSystem::FileLength(const std::string& path) {
    CheckLookup();
    const auto found = files_.find(Key(path));
    if (found == files_.end()) {
        RequireParent(Key(path));
        throw RuntimeError(ErrorNumber::FileNotFound);
    }
    return found->second.bytes.size();
}

void MemoryFileSystem::FailReadsOf(const std::string& path, std::int32_t number,
                                   const std::string& description) {
    readErrors_[Key(path)] = {number, description};
}

std::string MemoryFileSystem::ReadFile(const std::string& path, std::uint64_t length) {
    CheckLookup();
    if (const auto failing = readErrors_.find(Key(path)); failing != readErrors_.end()) {
        throw RuntimeError(failing->second.first, "Brelmont", failing->second.second);
    }
    const auto found = files_.find(Key(path));
    if (found == files_.end()) {
        throw RuntimeError(ErrorNumber::FileNotFound);
    }
    if (found->second.bytes.size() < length) {
        throw RuntimeError(ErrorNumber::InputPastEndOfFile);
    }
    return found->second.bytes.substr(0, length);
}

void MemoryFileSystem::ReplaceFileContents(const std::string& path,
                                           std::span<const std::string_view> pieces) {
    ++replaceCount_;
    const std::string key = Key(path);
    if (replaceFailures_ > 0) {
        --replaceFailures_;
        throw RuntimeError(replaceError_);
    }
    RequireParent(key);
    if (directories_.contains(key)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError);
    }
    std::string bytes;
    for (const std::string_view piece : pieces) {
        bytes += piece;
    }
    files_[key].bytes = std::move(bytes);
}

void MemoryFileSystem::AppendToFile(const std::string& path, std::string_view contents) {
    const std::string key = Key(path);
    if (const auto failing = appendErrors_.find(key); failing != appendErrors_.end()) {
        throw RuntimeError(failing->second);
    }
    RequireParent(key);
    files_[key].bytes += contents;
}

bool MemoryFileSystem::IsDirectory(const std::string& path) {
    return directories_.contains(Key(path));
}

void MemoryFileSystem::ChangeDirectory(const std::string& path) {
    const std::string key = Key(path);
    if (!directories_.contains(key)) {
        throw RuntimeError(ErrorNumber::PathNotFound);
    }
    currentDirectory_ = key;
}

std::unique_ptr<platform::DirectoryLock> MemoryFileSystem::LockDirectory(const std::string& path) {
    if (!directories_.contains(Key(path))) {
        throw RuntimeError(ErrorNumber::PathNotFound);
    }
    ++lockCount_;
    return std::make_unique<CountedLock>();
}

void ScriptedFrontEnd::ShowMainWindow() {
    shown = true;
    journal.push_back("show");
}

void ScriptedFrontEnd::SetStatusText(const std::string& text) {
    // The program only appends: record what each change added, line by line.
    if (text.starts_with(statusText_)) {
        std::string added = text.substr(statusText_.size());
        while (!added.empty()) {
            const std::size_t end = added.find("\r\n");
            const std::string line = added.substr(0, end);
            statusLines.push_back(line);
            journal.push_back("status:" + line);
            added = end == std::string::npos ? std::string() : added.substr(end + 2);
        }
    }
    statusText_ = text;
}

bool ScriptedFrontEnd::Pause(std::int16_t milliSeconds) {
    pauses.push_back(milliSeconds);
    journal.push_back("pause:" + std::to_string(milliSeconds));
    if (closed) {
        return false;
    }
    if (closeAtPause == static_cast<int>(pauses.size())) {
        closed = true;
        journal.push_back("user-close");
        return false;
    }
    return true;
}

void ScriptedFrontEnd::CloseMainWindow() {
    closed = true;
    journal.push_back("close");
}

void ScriptedFrontEnd::MessageBoxOk(const std::string& text, const std::string& boxTitle) {
    boxes.push_back({"ok", boxTitle, text});
    journal.push_back("box:" + text);
}

bool ScriptedFrontEnd::MessageBoxYesNo(const std::string& text, const std::string& boxTitle) {
    boxes.push_back({"yesno", boxTitle, text});
    journal.push_back("yesno:" + text);
    if (yesNoAnswers.empty()) {
        return true;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

platform::PathChoice ScriptedFrontEnd::ChooseProgramPath(
    const platform::PathChoiceRequest& request) {
    pathRequests.push_back(request);
    journal.push_back("choose");
    if (pathChoices.empty()) {
        return {};
    }
    const platform::PathChoice choice = pathChoices.front();
    pathChoices.pop_front();
    return choice;
}

std::string ScriptedFrontEnd::BrowseForDirectory(const platform::BrowseRequest& request) {
    browseRequests.push_back(request);
    journal.push_back("browse");
    if (browseFails) {
        throw RuntimeError(ErrorNumber::DeviceUnavailable);
    }
    if (browseAnswers.empty()) {
        return {};
    }
    const std::string answer = browseAnswers.front();
    browseAnswers.pop_front();
    return answer;
}

void ScriptedFrontEnd::ReportUncaughtError(std::int32_t number, const std::string& description) {
    uncaughtError = std::make_pair(number, description);
    journal.push_back("uncaught:" + std::to_string(number));
}

int ScriptedPlatform::Run(const std::string& argumentText) {
    process.argumentText = argumentText;
    return RunBrelmont(Services(), ui);
}

int ScriptedPlatform::Run(const std::string& argumentText, const RunOptions& options) {
    process.argumentText = argumentText;
    return options.unattended ? RunUnattended(Services(), options)
                              : RunBrelmont(Services(), ui, options);
}

std::string ScriptedPlatform::LogText() const {
    return files.Contents(process.programDirectory + "\\logs\\Brelmont.log").value_or("");
}

std::vector<std::string> ScriptedPlatform::LogMessages() const {
    std::vector<std::string> messages;
    const std::string text = LogText();
    std::size_t start = 0;
    int rules = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 2;
        if (line == std::string(51, '-')) {
            ++rules;
            continue;
        }
        if (rules % 2 == 1) {
            continue;  // the banner's own line
        }
        // "dd-mmm hh:mm:ss: message" or "dd-mmm hh:mm:ss:" for an empty one.
        messages.push_back(line.size() > 17 ? line.substr(17) : std::string());
    }
    return messages;
}

}  // namespace brelmont::testing
