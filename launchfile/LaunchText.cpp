#include "launchfile/LaunchText.h"

#include "launchfile/RegId.h"
#include "platform/Services.h"
#include "support/FileLib.h"
#include "support/RuntimeError.h"
#include "support/StringLib.h"

namespace brelmont {

std::unique_ptr<platform::DirectoryLock> LockLaunchDirectory(platform::FileSystem& files,
                                                             const std::string& launchPath) {
    const std::size_t separator = launchPath.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? std::string(".") : launchPath.substr(0, separator + 1);
    try {
        return files.LockDirectory(directory);
    } catch (const RuntimeError&) {
        return nullptr;
    }
}

std::string ReadLoaderText(FileLib& fileLib, const std::string& loaderFile) {
    std::string text = fileLib.ReadTextFileContents(loaderFile);
    if (std::string_view(text).starts_with(kByteOrderMark)) {
        text.erase(0, kByteOrderMark.size());
    }
    return text;
}

std::string FinishRewrite(std::string body) {
    std::size_t end = body.size();
    while (end > 0 && (body[end - 1] == kCr || body[end - 1] == kLf)) {
        --end;
    }
    body.resize(end);
    body += kCrLf;
    return body;
}

void RequireWholeWalk(const LineText& walk) {
    if (walk.LostLine()) {
        throw RuntimeError(ErrorNumber::OutOfMemory, "StringLib:GetLine");
    }
}

}  // namespace brelmont
