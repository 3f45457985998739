#include "shell/qt_process.h"

#include <signal.h>
#include <unistd.h>

#include <QStringList>

namespace tarnwick {
namespace {

// How long a killed program may take to be reaped.
constexpr int kReapMilliseconds = 3000;

QString qPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

QtProcess::QtProcess() {
    process_.setChildProcessModifier([] { ::setpgid(0, 0); });
    process_.setStandardInputFile(QProcess::nullDevice());
}

QtProcess::~QtProcess() {
    terminate();
}

bool QtProcess::start(const std::vector<std::string>& arguments,
                      const std::filesystem::path& directory, const std::filesystem::path& output,
                      bool) {
    if (arguments.empty() || process_.state() != QProcess::NotRunning) return false;
    QStringList rest;
    for (auto argument = arguments.begin() + 1; argument != arguments.end(); ++argument)
        rest << QString::fromStdString(*argument);
    process_.setWorkingDirectory(qPath(directory));
    process_.setStandardOutputFile(qPath(output), QIODevice::Truncate);
    process_.start(QString::fromStdString(arguments.front()), rest);
    started_ = process_.waitForStarted();
    return started_;
}

std::optional<int> QtProcess::exitCode() {
    if (!started_) return -1;
    // Waiting no time lets the process notice an ended program without an event loop.
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(0))
        return std::nullopt;
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

std::string QtProcess::errorOutput() {
    return process_.readAllStandardError().toStdString();
}

void QtProcess::terminate() {
    if (process_.state() == QProcess::NotRunning) return;
    if (::kill(-static_cast<pid_t>(process_.processId()), SIGKILL) != 0) process_.kill();
    process_.waitForFinished(kReapMilliseconds);
}

}  // namespace tarnwick
