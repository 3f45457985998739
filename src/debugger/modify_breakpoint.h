#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "debugger/breakpoint_list.h"
#include "debugger/debug_context.h"

namespace tarnwick {

// The model of the Modify Breakpoint dialog (`TMBreakDlg`): the texts it shows, the rules of
// its two edit fields and its OK. A Qt dialog shows the texts with the focus on `EPass`,
// passes each changed field text through the field rule and closes when ok() says so.
class ModifyBreakpoint {
  public:
    static constexpr std::size_t kFieldLength = 5;

    // Menu "Modify Breakpoint..." and the editor pop-up: the active editor's caret line; none
    // unless that line carries a breakpoint.
    static std::optional<ModifyBreakpoint> forCaretLine(DebugContext& context,
                                                        BreakpointList& list);
    // "&Properties" on the list: the selected row; without one the user is told to select.
    static std::optional<ModifyBreakpoint> forRow(DebugContext& context, BreakpointList& list,
                                                  std::optional<std::size_t> selected);

    // `LFilename`: the module's name as the module table holds it.
    const std::string& fileNameText() const { return fileName_; }
    const std::string& lineText() const { return line_; }                    // `LLine`
    const std::string& addressText() const { return addressText_; }          // `LAddr`
    const std::string& passText() const { return pass_; }                    // `LPass`
    const std::string& sourceText() const { return sourceText_; }            // `LSourceText`
    const std::string& initialNewPass() const { return initialNewPass_; }    // `EPass`
    const std::string& initialNewCount() const { return initialNewCount_; }  // `ECount`

    // `EPass` after a change: digits only, at most five; never empty ("1" instead).
    static std::string newPassFieldText(std::string_view text);
    // `ECount` after a change: as `EPass`, and never 0 either ("1" instead).
    static std::string newCountFieldText(std::string_view text);

    // `OKBtnClick`: true when the hit and hit count were stored and the dialog closes; false
    // after an error box, with the dialog left open on the user's input.
    bool ok(std::string_view newPass, std::string_view newCount);

  private:
    ModifyBreakpoint(DebugContext& context, BreakpointList& list, const std::filesystem::path& file,
                     int line, std::uint16_t address);

    DebugContext* context_;
    BreakpointList* list_;
    std::uint16_t address_;
    std::string fileName_;
    std::string line_;
    std::string addressText_;
    std::string pass_;
    std::string sourceText_;
    std::string initialNewPass_;
    std::string initialNewCount_;
};

}  // namespace tarnwick
