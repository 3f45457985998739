#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "debugger/debug_context.h"
#include "debugger/watch_dialogs.h"
#include "debugger/watch_list.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;

namespace tarnwick {

// "Add Watch" of assembly projects: a symbol of the symbol table, a length and a format.
class TWatchAddDlg : public QDialog {
    Q_OBJECT

  public:
    // The name list holds the symbols of the context's symbol table.
    TWatchAddDlg(DebugContext& context, WatchList& watches, QWidget* parent = nullptr);

  public slots:
    // Adds the watch; a name that is no symbol is reported. The dialog closes either way.
    void OKBtnClick();

  private:
    AssemblyWatchDialog model_;
    QComboBox* name_;
    QLineEdit* count_;
    QButtonGroup* format_;
};

// "Add Watch" of C projects: a variable of a function, or a global one, and a format.
class TWatchICCDlg : public QDialog {
    Q_OBJECT

  public:
    // `scopes`: the functions with local variables and "Global Variable", as the debug file
    // listed them at the session's start.
    TWatchICCDlg(DebugContext& context, WatchList& watches, const std::vector<std::string>& scopes,
                 QWidget* parent = nullptr);

  public slots:
    // Fills the variable list with the variables of the chosen function.
    void CBFunctionChange(int index);
    // Adds the chosen variable; without a function and a variable the dialog just closes.
    void OKBtnClick();

  private:
    CWatchDialog model_;
    QComboBox* function_;
    QComboBox* variable_;
    QButtonGroup* format_;
};

// Opens the dialog of the kind that addWatchFromMenu or addWatchFromPopup chose; nothing for
// WatchDialogKind::None.
void showAddWatchDialog(WatchDialogKind kind, DebugContext& context, WatchList& watches,
                        const std::vector<std::string>& scopes, QWidget* parent);

}  // namespace tarnwick
