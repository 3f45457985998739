// Starts the IDE: the main window, and the project named on the command line. Without one the
// Project menu offers the last project; on the first start (no last project yet) or with
// --example the IDE opens a copy of the bundled example project in the user's data directory.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "shell/main_form.h"

namespace {

namespace fs = std::filesystem;

// The installed examples, or those of the source tree when run from the build tree.
fs::path bundledExamples(const QString& programDirectory) {
    const fs::path installed =
        fs::path(programDirectory.toStdString()) / ".." / "share" / "tarnwick" / "examples";
    if (fs::is_directory(installed)) return installed;
    return fs::path(TARNWICK_SOURCE_DIR) / "examples";
}

// Builds write beside the project, so the example is opened from a copy the user owns. An
// existing copy is kept as the user left it.
std::optional<fs::path> exampleProject(const QString& programDirectory) {
    const fs::path source = bundledExamples(programDirectory) / "sum";
    const fs::path copy =
        fs::path(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()) /
        "examples" / "sum";
    std::error_code error;
    if (!fs::exists(copy / "sum.pro")) {
        fs::create_directories(copy, error);
        fs::copy(source, copy, fs::copy_options::recursive | fs::copy_options::skip_existing,
                 error);
        if (error) {
            std::cerr << "tarnwick: cannot copy the example project to " << copy << ": "
                      << error.message() << '\n';
            return std::nullopt;
        }
    }
    return copy / "sum.pro";
}

void nameProgram() {
    QCoreApplication::setOrganizationName("Morvane");
    QCoreApplication::setApplicationName("Tarnwick");
    QCoreApplication::setApplicationVersion("1.00");
}

void describeOptions(QCommandLineParser& parser, const QCommandLineOption& example) {
    parser.setApplicationDescription(
        "Tarnwick: a development environment and simulator for the Motorola 68HC11.\n"
        "Without a project it offers the last one in the Project menu; on the first start, or\n"
        "with --example, it opens a copy of the bundled example project.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(example);
    parser.addPositionalArgument("project", "The project file (.pro) to open.", "[project.pro]");
}

}  // namespace

int main(int argc, char* argv[]) {
    const QCommandLineOption example("example", "Open a copy of the bundled example project.");
    {
        // --help, --version and a wrong option are answered, and end the program, before the
        // windows need a display.
        QCoreApplication textOnly(argc, argv);
        nameProgram();
        QCommandLineParser parser;
        describeOptions(parser, example);
        parser.process(textOnly);
    }
    QApplication application(argc, argv);
    nameProgram();
    QCommandLineParser parser;
    describeOptions(parser, example);
    parser.process(application);

    const QString programDirectory = QCoreApplication::applicationDirPath();
    tarnwick::TMainForm form(
        tarnwick::MainFormSetup{nullptr, programDirectory, QString(TARNWICK_SOURCE_DIR)});
    form.show();

    const QStringList arguments = parser.positionalArguments();
    if (!arguments.isEmpty()) {
        form.openProject(fs::absolute(arguments[0].toStdString()));
    } else if (parser.isSet(example) || form.lastProject().empty()) {
        if (const auto copy = exampleProject(programDirectory)) form.openProject(*copy);
    }
    return application.exec();
}
