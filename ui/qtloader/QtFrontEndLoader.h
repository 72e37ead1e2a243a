#pragma once

#include <memory>
#include <string>

#include "ui/qt/ModuleEntry.h"
#include "ui/qtloader/SharedLibrary.h"

namespace brelmont::platform {
class FileSystem;
class FrontEnd;
}  // namespace brelmont::platform

namespace brelmont::qtloader {

// The Qt front end of one run, taken from its module: Qt is mapped from here on, and only here.
class LoadedQtFrontEnd {
  public:
    // Finds the module from `programDirectory`, checks and loads it, and opens its session with
    // the rest as ModuleEntry says. Throws ModuleUnavailable saying why when any of that fails.
    LoadedQtFrontEnd(const std::string& programDirectory, const std::string& programVersion,
                     int& argc, char** argv, const platform::FileSystem& files);

    platform::FrontEnd& FrontEnd() { return session_->FrontEnd(); }

  private:
    // Declared first, so that it goes last: the session's code lies in the library.
    SharedLibrary library_;
    std::unique_ptr<qtui::FrontEndSession> session_;
};

}  // namespace brelmont::qtloader
