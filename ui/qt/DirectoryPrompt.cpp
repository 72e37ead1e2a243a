#include "ui/qt/DirectoryPrompt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "platform/FrontEnd.h"
#include "platform/Services.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/QtText.h"

namespace brelmont::qtui {
namespace {

// Restores the process's working directory whatever the dialog did to it.
class WorkingDirectoryKeeper {
  public:
    WorkingDirectoryKeeper() : saved_(QDir::currentPath()) {}
    ~WorkingDirectoryKeeper() { QDir::setCurrent(saved_); }
    WorkingDirectoryKeeper(const WorkingDirectoryKeeper&) = delete;
    WorkingDirectoryKeeper& operator=(const WorkingDirectoryKeeper&) = delete;

  private:
    const QString saved_;
};

QString StartDirectory(const platform::FileSystem& files, const std::string& programPath) {
    try {
        const QFileInfo start(ToQString(files.HostPath(programPath)));
        if (start.isDir()) {
            return start.absoluteFilePath();
        }
    } catch (...) {
        // A path the host cannot map is no place to start; the home directory is.
    }
    return QDir::homePath();
}

}  // namespace

std::string BrowseForDirectory(QWidget* owner, const platform::FileSystem& files,
                               const platform::BrowseRequest& request) {
    const WorkingDirectoryKeeper keeper;
    QFileDialog dialog(owner, ToQString(request.title),
                       StartDirectory(files, request.initialDirectory));
    dialog.setObjectName(QStringLiteral("CD"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    // The notice before the dialog says to press Save.
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Save"));
    CentreOver(dialog, owner);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return {};
    }
    // Shown, logged and used beside the program's other paths: in their form, not the host's.
    return files.ProgramPath(
        ToStdString(QDir::cleanPath(QFileInfo(chosen.front()).absoluteFilePath())));
}

}  // namespace brelmont::qtui
