#include "ui/qt/QtMain.h"

#include <QApplication>
#include <QString>

#include "app/RunBrelmont.h"
#include "app/RunOptions.h"
#include "platform/FrontEnd.h"
#include "platform/Services.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/QtFrontEnd.h"

namespace brelmont::qtui {

int RunWithQtFrontEnd(int& argc, char** argv, const platform::Services& services,
                      const RunOptions& options) {
    QApplication application(argc, argv);
    application.setApplicationName(QString::fromLatin1(platform::kProgramName));
    application.setWindowIcon(ProgramIcon());
    // The run never enters QApplication::exec(); the program ends when the core returns, not when
    // its last window goes.
    application.setQuitOnLastWindowClosed(false);
    QtFrontEnd frontEnd(services.files);
    return RunBrelmont(services, frontEnd, options);
}

}  // namespace brelmont::qtui
