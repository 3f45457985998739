#include "shell/tool_icons.h"

#include <QString>
#include <QToolBar>
#include <array>

namespace tarnwick {

namespace {

struct ToolIcon {
    std::string_view handler;
    const char* themeName;  // the icon theme's name; empty: only ours fits
    const char* ownName;    // ours, without the "tarnwick-" of its file
};

constexpr std::array<ToolIcon, 19> kToolIcons{{
    {"FileNewClick", "document-new", "document-new"},
    {"FileOpenClick", "document-open", "document-open"},
    {"Save1Click", "document-save", "document-save"},
    {"FileSaveAllClick", "document-save-all", "document-save-all"},
    {"Undo1Click", "edit-undo", "edit-undo"},
    {"Redo1Click", "edit-redo", "edit-redo"},
    {"Cut1Click", "edit-cut", "edit-cut"},
    {"Copy1Click", "edit-copy", "edit-copy"},
    {"Paste1Click", "edit-paste", "edit-paste"},
    {"Find1Click", "edit-find", "edit-find"},
    {"Replace1Click", "edit-find-replace", "edit-find-replace"},
    {"ProjectOpenClick", "", "project-open"},
    {"ProjectBuildClick", "", "project-build"},
    {"DebugStartClick", "", "debug-start-stop"},
    {"DebugTraceIntoClick", "", "debug-trace-into"},
    {"DebugStepOverClick", "", "debug-step-over"},
    {"DebugRunClick", "", "debug-run"},
    {"DebugProgramPauseClick", "", "debug-pause"},
    {"DebugProgramResetClick", "", "debug-reset"},
}};

QIcon ownIcon(const char* name) {
    const QString file = QStringLiteral("tarnwick-") + QLatin1String(name);
    return QIcon::fromTheme(file,
                            QIcon(QStringLiteral(":/icons/") + file + QStringLiteral(".svg")));
}

}  // namespace

QIcon toolIcon(std::string_view handler) {
    for (const ToolIcon& icon : kToolIcons) {
        if (icon.handler != handler) continue;
        const QIcon own = ownIcon(icon.ownName);
        return *icon.themeName ? QIcon::fromTheme(QLatin1String(icon.themeName), own) : own;
    }
    return {};
}

void showToolBarCaptions(QToolBar& bar, bool captionsOnly) {
    bar.setToolButtonStyle(captionsOnly ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
}

}  // namespace tarnwick
