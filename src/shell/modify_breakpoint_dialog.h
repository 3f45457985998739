#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <string_view>

#include "debugger/modify_breakpoint.h"

class QLineEdit;

namespace tarnwick {

// "Modify Breakpoint": the hit and hit count of one breakpoint. The model decides the field
// rules and checks OK; an error leaves the dialog open on the user's input.
class TMBreakDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TMBreakDlg(ModifyBreakpoint model, QWidget* parent = nullptr);

    // Shows the dialog modally for the breakpoint; nothing when there is none (the model has
    // told the user why, where there was something to tell).
    static void showFor(std::optional<ModifyBreakpoint> model, QWidget* parent);

  public slots:
    void OKBtnClick();

  private:
    using FieldRule = std::string (*)(std::string_view);
    // Puts the field's text through its rule as it changes; a replaced text is selected so
    // that the next digit typed replaces it.
    void followRule(QLineEdit* field, FieldRule rule);

    ModifyBreakpoint model_;
    QLineEdit* newPass_;
    QLineEdit* newCount_;
};

}  // namespace tarnwick
