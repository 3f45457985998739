#include "debugger/watch_dialogs.h"

#include <algorithm>
#include <cctype>

#include "debugger/watch_evaluator.h"
#include "debugger/watch_variables.h"
#include "project/debug_file.h"
#include "project/symbol_file.h"

namespace tarnwick {
namespace {

// The order of a sorted drop-down list: letter case only breaks ties.
std::vector<std::string> sortedNames(std::vector<std::string> names) {
    const auto folded = [](const std::string& text) {
        std::string lower = text;
        std::ranges::transform(lower, lower.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return lower;
    };
    std::ranges::sort(names, [&](const std::string& a, const std::string& b) {
        const std::string foldedA = folded(a);
        const std::string foldedB = folded(b);
        return foldedA != foldedB ? foldedA < foldedB : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace

WatchDialogKind addWatchFromMenu(const Project& project, Host& host) {
    switch (project.format) {
        case ProjectFormat::Asm11:
            return WatchDialogKind::Assembly;
        case ProjectFormat::S19:
            host.showError("Not available for S19 format");
            return WatchDialogKind::None;
        case ProjectFormat::Icc11:
            return WatchDialogKind::C;
        case ProjectFormat::None:
            break;
    }
    return WatchDialogKind::None;
}

WatchDialogKind addWatchFromPopup(const Project& project, bool inSession) {
    if (!inSession) return WatchDialogKind::None;
    switch (project.format) {
        case ProjectFormat::Asm11:
        case ProjectFormat::S19:
            return WatchDialogKind::Assembly;
        case ProjectFormat::Icc11:
            return WatchDialogKind::C;
        case ProjectFormat::None:
            break;
    }
    return WatchDialogKind::None;
}

unsigned watchLengthFromField(std::string_view text) {
    const auto length = parseDecimal(text);
    if (!length) return 1;
    return std::clamp<unsigned>(*length, 1, kMaxWatchLength);
}

AssemblyWatchDialog::AssemblyWatchDialog(DebugContext& context, WatchList& watches)
    : context_(context), watches_(watches) {}

void AssemblyWatchDialog::show(const std::vector<std::string>& symbolNames) {
    names_ = sortedNames(symbolNames);
    name = names_.empty() ? std::string() : names_.front();
    length = "1";
    format = 0;
}

void AssemblyWatchDialog::ok() {
    if (name.empty() || format >= kAssemblyWatchFormats.size()) return;
    const MEMORYSYM* symbol = findSymbol(context_.sourceMap, name);
    if (!symbol) {
        context_.host.showError("Wrong Symbol");
        return;
    }
    watches_.add({symbol->name,
                  symbol->address,
                  std::string(kAssemblyWatchFormats[format].key),
                  watchLengthFromField(length),
                  {}});
}

CWatchDialog::CWatchDialog(DebugContext& context, WatchList& watches)
    : context_(context), watches_(watches) {}

void CWatchDialog::show(const std::vector<std::string>& scopes) {
    functions_ = sortedNames(scopes);
    variables_.clear();
    function.clear();
    variable.clear();
    format = kCWatchDefaultFormat;
}

void CWatchDialog::chooseFunction(std::string_view chosen) {
    function = chosen;
    variable.clear();
    variables_.clear();
    std::string error;
    const auto table = CVariableTable::read(context_.project, error);
    if (!table) {
        context_.host.showError(error);
        return;
    }
    variables_ = table->names(function);
}

void CWatchDialog::ok() {
    if (function.empty() || variable.empty() || format >= kCWatchFormats.size()) return;
    std::string error;
    const auto table = CVariableTable::read(context_.project, error);
    if (!table) {
        context_.host.showError(error);
        return;
    }
    const CVariableLookup lookup = table->find(function, variable);
    if (!lookup.error.empty()) {
        context_.host.showError(lookup.error);
        return;
    }
    if (!lookup.variable) return;

    const auto typeClass = cTypeClass(lookup.variable->typeCode);
    if (!typeClass) {
        context_.host.showError("Variables of type \"" + lookup.variable->typeCode +
                                "\" cannot be watched");
        return;
    }
    const bool local = function != kGlobalScopeName;
    watches_.add({local ? variable + "=" + function : variable,
                  lookup.variable->location,
                  cWatchKey(local, *typeClass, kCWatchFormats[format].suffix),
                  1,
                  {}});
}

}  // namespace tarnwick
