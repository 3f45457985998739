#pragma once

#include <QDialog>
#include <QStringDecoder>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "project/assembler_build.h"
#include "project/project_commands.h"

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace tarnwick {

// "Building": runs the assembler once it is shown, counts the seconds and closes itself when
// the assembler has ended or the user cancelled. It stays on top and has no title-bar buttons;
// Esc and closing the window cancel like the "Cancel" button.
class TBuildDlg : public QDialog {
    Q_OBJECT

  public:
    // With `progressFile`, the window also shows that file as the assembler writes it.
    TBuildDlg(AssemblerBuild& build, std::optional<std::filesystem::path> progressFile,
              QWidget* parent = nullptr);

    // The error of a run that could not be started; empty otherwise.
    std::string_view startError() const { return startError_; }

  public slots:
    void FormActivate();
    void BuildCancelClick();
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void pollBuild();
    void addSecond();
    void showNewOutput();

    AssemblerBuild& build_;
    std::optional<std::filesystem::path> progressFile_;
    QLabel* buildingText_;
    QLabel* seconds_;
    QPlainTextEdit* output_;
    QTimer* pollTimer_;
    QTimer* secondTimer_;
    bool activated_ = false;
    bool running_ = false;
    std::string_view startError_;
    qint64 outputShown_ = 0;
    QStringDecoder outputDecoder_{QStringDecoder::Utf8};
};

// What the message lists do around an assembler run.
struct BuildMessageHooks {
    std::function<void()> hideEditorMessages;                        // before the run
    std::function<void()> clearMessages;                             // after it, both lists
    std::function<void(const std::filesystem::path&)> loadMessages;  // the error file
};

// The build of an ASM11 project after the question about modified files: the checks, the
// Building window while the assembler runs, the messages, and the temporary files removed.
void buildAssemblerProject(const AssemblerBuildRequest& request, bool modifiedFilesSaved,
                           ProjectUi& ui, const BuildMessageHooks& messages,
                           QWidget* parent = nullptr);

}  // namespace tarnwick
