#include "discovery/DirectoryBrowse.h"

#include <exception>

#include "platform/Dialogs.h"
#include "platform/Services.h"

namespace brelmont {

std::string GetKelvaneDirName(platform::Dialogs& ui, platform::FileSystem& files) {
    std::string startDirectory;
    try {
        startDirectory = files.CurrentDirectory();
    } catch (const std::exception&) {
    }
    const platform::BrowseRequest request{
        .title = "Select a directory",
        .initialDirectory = "C:\\Program Files (x86)\\",
        .proposedFileName = "Select Kelvane program directory",
        .filter = "Directories|*.~#~",
    };
    std::string result;
    try {
        result = ui.BrowseForDirectory(request);
    } catch (const std::exception&) {
        // A dialog that could not be shown leaves the folder it would have ended in: the working
        // directory.
        try {
            result = files.CurrentDirectory();
        } catch (const std::exception&) {
        }
    }
    try {
        if (!startDirectory.empty()) {
            files.ChangeDirectory(startDirectory);
        }
    } catch (const std::exception&) {
    }
    return result;
}

}  // namespace brelmont
