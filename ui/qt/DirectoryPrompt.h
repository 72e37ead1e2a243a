#pragma once

#include <string>

class QWidget;

namespace brelmont::platform {
class FileSystem;
struct BrowseRequest;
}  // namespace brelmont::platform

namespace brelmont::qtui {

// A modal choice of one directory, titled and started as the request says (its start mapped to
// the host by `files`, the home directory when that does not exist). The absolute host path
// without trailing separator, or "" when the user cancelled. The working directory stays as it
// was.
std::string BrowseForDirectory(QWidget* owner, const platform::FileSystem& files,
                               const platform::BrowseRequest& request);

}  // namespace brelmont::qtui
