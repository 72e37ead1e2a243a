#include "support/FileLib.h"

#include <exception>

#include "platform/Services.h"
#include "support/PiecedText.h"

namespace brelmont {

bool FileLib::FileExists(const std::string& path) {
    try {
        return files_.OrdinaryFileExists(path);
    } catch (...) {
        return false;
    }
}

bool FileLib::LargerThanReadable(const std::string& path) {
    try {
        return files_.OrdinaryFileExists(path) && files_.FileLength(path) > largestTextFile_;
    } catch (...) {
        return false;
    }
}

std::string FileLib::ReadTextFileContents(const std::string& path) {
    try {
        step_ = 1;
        if (!files_.OrdinaryFileExists(path)) {
            return {};
        }
        const std::uint64_t length = files_.FileLength(path);
        if (length > largestTextFile_) {
            throw RuntimeError(ErrorNumber::OutOfMemory, "FileLib",
                               "File larger than 1 GiB: " + path);
        }
        step_ = 2;
        return files_.ReadFile(path, length);
    } catch (...) {
        RaiseFromTrap(AsRuntimeError(std::current_exception(), "FileLib:ReadTextFileContents"),
                      lastErrorText_, step_, eventLog_,
                      " FileLib:ReadTextFileContents, Step = ", "FileLib:ReadTextFileContents");
    }
}

std::int16_t FileLib::WriteTextFileContents(const std::string& path, const std::string& text) {
    const std::string_view whole = text;
    return WritePieces(path, {&whole, 1});
}

std::int16_t FileLib::WriteTextFileContents(const std::string& path, const PiecedText& text) {
    return WritePieces(path, text.Pieces());
}

std::int16_t FileLib::WritePieces(const std::string& path,
                                  std::span<const std::string_view> pieces) {
    // The replace keeps the old file until the new one is safely in its place, so the delete that
    // used to come first is gone: a failed write must not cost the user the old contents.
    std::uint64_t length = 0;
    for (const std::string_view piece : pieces) {
        length += piece.size();
    }
    if (length > largestTextFile_) {
        lastErrorText_ = "New contents larger than 1 GiB: " + path;
        return static_cast<std::int16_t>(ErrorNumber::OutOfMemory);
    }
    try {
        files_.ReplaceFileContents(path, pieces);
        return -1;
    } catch (...) {
        const RuntimeError error =
            AsRuntimeError(std::current_exception(), "FileLib:WriteTextFileContents");
        lastErrorText_ = error.Description();
        return static_cast<std::int16_t>(error.Number());
    }
}

}  // namespace brelmont
