#pragma once

#include "project/project_commands.h"

class QWidget;

namespace tarnwick {

// The Project menu's message boxes and dialogs, modal over the main window.
class QtProjectUi : public ProjectUi {
  public:
    explicit QtProjectUi(QWidget* parent) : parent_(parent) {}

    void showError(std::string_view text) override;
    void showInformation(std::string_view text) override;
    bool askYesNo(std::string_view text) override;

    std::optional<ProjectFormat> chooseFormat() override;
    bool editAsm11Options(Asm11Options& options) override;
    bool editS19Start(std::string& start) override;
    bool editCpuConfiguration(CpuConfiguration& cpu) override;

  private:
    QWidget* parent_;
};

}  // namespace tarnwick
