#pragma once

// The Qt front end is a module of its own, so that only a run that shows a window maps Qt. What
// the program and the module agree on: the module's file name, its one entry point and that
// entry point's type. Nothing here may include a Qt header: the program includes it too.

namespace brelmont::platform {
class FileSystem;
class FrontEnd;
}  // namespace brelmont::platform

namespace brelmont::qtui {

// The file ui/qt/CMakeLists.txt builds (OUTPUT_NAME, no "lib" prefix).
inline constexpr const char* kModuleFileName = "brelmont-qt.so";
inline constexpr const char* kModuleEntryName = "brelmont_qt_open_front_end";

// The toolkit's application object and the front end over it, for one run. Destroying it ends
// both; it must be destroyed before the module is unloaded.
class FrontEndSession {
  public:
    virtual ~FrontEndSession() = default;
    virtual platform::FrontEnd& FrontEnd() = 0;
};

// The entry point, with C linkage so that its name is the one above. Null when `programVersion`
// ("3.3.6") is not the version the module was built as: a module of another build may lay out
// the front end's interface otherwise. Throws a std::exception when Qt cannot open the display,
// which would otherwise end the whole process. `argc` and `argv` must outlive the session (Qt keeps them
// and takes its own options out of them); `files` too.
using ModuleEntry = FrontEndSession* (*)(const char* programVersion, int* argc, char** argv,
                                         const platform::FileSystem* files);

}  // namespace brelmont::qtui
