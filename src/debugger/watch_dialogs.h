#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "debugger/debug_context.h"
#include "debugger/watch_format.h"
#include "debugger/watch_list.h"

namespace tarnwick {

enum class WatchDialogKind { None, Assembly, C };

// Menu "Add Watch...": the assembly dialog for ASM11 projects, the C dialog for ICC11 ones;
// S19 projects get the error "Not available for S19 format" and no dialog.
WatchDialogKind addWatchFromMenu(const Project& project, Host& host);
// The watch page's pop-up "Add Watch...": no dialog outside a debug session, the assembly
// dialog for ASM11 and S19 projects, the C dialog for ICC11 ones.
WatchDialogKind addWatchFromPopup(const Project& project, bool inSession);

// What the "Length:" field (two digits at most) gives: empty and 0 count as 1, and no watch
// shows more than 32 elements.
unsigned watchLengthFromField(std::string_view text);

// The assembly "Add Watch" dialog: a symbol name, a length and one of sixteen formats.
class AssemblyWatchDialog {
  public:
    static constexpr std::string_view kCaption = "Add Watch";
    static constexpr std::size_t kLengthFieldWidth = 2;
    static constexpr std::string_view kLengthHint = "(Max 32)";

    AssemblyWatchDialog(DebugContext& context, WatchList& watches);

    // On showing: the data symbols sorted as the name list, length "1", the first format.
    void show(const std::vector<std::string>& symbolNames);
    const std::vector<std::string>& names() const { return names_; }

    std::string name;
    std::string length;
    std::size_t format = 0;  // index into kAssemblyWatchFormats

    // OK: appends the watch, or reports "Wrong Symbol" for a name the symbol table does not
    // hold. Without a name nothing happens. The dialog closes either way.
    void ok();

  private:
    DebugContext& context_;
    WatchList& watches_;
    std::vector<std::string> names_;
};

// The C "Add Watch" dialog: a scope (a function, or "Global Variable"), one of its
// variables and one of five formats.
class CWatchDialog {
  public:
    static constexpr std::string_view kCaption = "Add Watch";

    CWatchDialog(DebugContext& context, WatchList& watches);

    // On showing: the scopes the debug file offers, sorted; no variables yet; "Decimal".
    void show(const std::vector<std::string>& scopes);
    const std::vector<std::string>& functions() const { return functions_; }
    const std::vector<std::string>& variables() const { return variables_; }

    // Choosing a function reads the debug file again for the variables of that scope.
    void chooseFunction(std::string_view chosen);

    std::string function;
    std::string variable;
    std::size_t format = kCWatchDefaultFormat;  // index into kCWatchFormats

    // OK: appends the chosen variable as a watch of length 1. Without a function and a
    // variable the dialog just closes.
    void ok();

  private:
    DebugContext& context_;
    WatchList& watches_;
    std::vector<std::string> functions_;
    std::vector<std::string> variables_;
};

}  // namespace tarnwick
