#include "discovery/ProgramDirectories.h"

#include <exception>

#include "platform/Services.h"
#include "support/StringLib.h"

namespace brelmont {

std::string FindKelvaneDirs(platform::FileSystem& files) {
    std::string list;
    for (const char* location : kKelvaneInstallLocations) {
        if (files.OrdinaryFileExists(std::string(location) + "\\Kelvane.conf")) {
            list += location;
            list += kCrLf;
        }
    }
    if (!list.empty()) {
        list.resize(list.size() - kCrLf.size());
    }
    return list;
}

int CountCandidates(const std::string& list) {
    if (list.empty()) {
        return 0;
    }
    int count = 1;
    for (std::size_t at = list.find(kCrLf); at != std::string::npos;
         at = list.find(kCrLf, at + kCrLf.size())) {
        ++count;
    }
    return count;
}

std::vector<std::string> FillPathList(const std::string& programPathList,
                                      platform::MessageBoxes& boxes) {
    std::vector<std::string> entries;
    // A failure while filling ends the filling silently; the dialog shows what was added so far.
    try {
        LineText working{std::string_view(programPathList)};
        while (!working.Empty()) {
            const std::string entry = TrimSpaces(GetLine(working, boxes));
            if (entry.empty() || entry.front() == '/') {
                continue;
            }
            entries.push_back(entry);
        }
    } catch (const std::exception&) {
    }
    return entries;
}

}  // namespace brelmont
