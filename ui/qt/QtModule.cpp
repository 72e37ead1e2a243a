// The module's entry point: the QApplication and the Qt front end of one run.

#include <QApplication>
#include <QString>
#include <chrono>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/FrontEnd.h"
#include "platform/Version.h"
#include "ui/qt/DisplayProbe.h"
#include "ui/qt/ModuleEntry.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/QtFrontEnd.h"

namespace brelmont::qtui {
namespace {

// Long enough for a display across a slow link; a display that gives no answer in that time would
// not serve a person either.
constexpr std::chrono::seconds kDisplayWait{10};

std::string BuiltVersion() {
    return std::to_string(BRELMONT_VERSION_MAJOR) + "." + std::to_string(BRELMONT_VERSION_MINOR) +
           "." + std::to_string(BRELMONT_VERSION_PATCH);
}

// The application object comes first: the front end's widgets need it, and go before it.
class QtSession final : public FrontEndSession {
  public:
    QtSession(int& argc, char** argv, const platform::FileSystem& files)
        : application_(argc, argv), frontEnd_(Prepared(application_, files)) {}

    platform::FrontEnd& FrontEnd() override { return frontEnd_; }

  private:
    static const platform::FileSystem& Prepared(QApplication& application,
                                                const platform::FileSystem& files) {
        application.setApplicationName(QString::fromLatin1(platform::kProgramName));
        application.setWindowIcon(ProgramIcon());
        // The run never enters QApplication::exec(); the program ends when the core returns, not
        // when its last window goes.
        application.setQuitOnLastWindowClosed(false);
        return files;
    }

    QApplication application_;
    QtFrontEnd frontEnd_;
};

}  // namespace
}  // namespace brelmont::qtui

extern "C" __attribute__((visibility("default"))) brelmont::qtui::FrontEndSession*
brelmont_qt_open_front_end(const char* programVersion, int* argc, char** argv,
                           const brelmont::platform::FileSystem* files) {
    if (programVersion == nullptr || programVersion != brelmont::qtui::BuiltVersion()) {
        return nullptr;
    }
    const brelmont::qtui::DisplayProbe display = brelmont::qtui::ProbeDisplay(
        std::vector<std::string>(argv, argv + *argc), brelmont::qtui::kDisplayWait);
    if (!display.opens) {
        throw std::runtime_error("the display could not be opened: " + display.reason);
    }
    return new brelmont::qtui::QtSession(*argc, argv, *files);
}

static_assert(std::is_same_v<decltype(&brelmont_qt_open_front_end), brelmont::qtui::ModuleEntry>);
