#include "gui/browser/qt_process_launcher.h"

#include <QProcess>
#include <QStringList>

namespace tessaline {

bool QtProcessLauncher::StartCommandLine(const std::string& commandLine) {
    QStringList parts = QProcess::splitCommand(QString::fromStdString(commandLine));
    if (parts.isEmpty())
        return false;
    const QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

bool QtProcessLauncher::StartProgram(const std::string& path) {
    if (path.empty())
        return false;
    return QProcess::startDetached(QString::fromStdString(path), {});
}

}  // namespace tessaline
