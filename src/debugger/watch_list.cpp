#include "debugger/watch_list.h"

#include <utility>

#include "base/number_text.h"
#include "debugger/watch_evaluator.h"
#include "debugger/watch_format.h"
#include "debugger/watch_variables.h"
#include "project/debug_file.h"
#include "project/symbol_file.h"

namespace tarnwick {
namespace {

constexpr char kUnrestoredIntro[] =
    "Some watches of the project file could not be restored; they stay in the file as they "
    "are until Delete All Watches:";

bool isBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// "variable=function" of a C local; the global scope for a name without "=".
std::pair<std::string_view, std::string_view> splitCName(std::string_view name) {
    const std::size_t equals = name.find('=');
    if (equals == std::string_view::npos) return {name, kGlobalScopeName};
    return {name.substr(0, equals), name.substr(equals + 1)};
}

}  // namespace

std::array<std::string, 5> watchRowTexts(const WatchRow& row) {
    return {row.name, hexText(row.address, 4), row.key, std::to_string(row.length), row.value};
}

WatchList::WatchList(DebugContext& context) : context_(context) {}

void WatchList::add(WatchRow row) {
    row.value = evaluate(row);
    rows_.push_back(std::move(row));
    context_.display.refresh(kWatchList);
}

void WatchList::refresh() {
    for (WatchRow& row : rows_) row.value = evaluate(row);
    context_.display.refresh(kWatchList);
}

void WatchList::deleteSelected(std::optional<std::size_t> selected) {
    if (rows_.empty()) return;
    if (!selected || *selected >= rows_.size()) {
        context_.host.showInformation("No item selected, please select one");
        return;
    }
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selected));
    context_.display.refresh(kWatchList);
}

// Also the entries kept unread from the project file: the user's one way to be rid of them.
void WatchList::deleteAll() {
    keptEntries_.clear();
    projectFileUnread_ = false;
    if (rows_.empty()) return;
    rows_.clear();
    context_.display.refresh(kWatchList);
}

void WatchList::clear() {
    rows_.clear();
    keptEntries_.clear();
    projectFileUnread_ = false;
    context_.display.refresh(kWatchList);
}

void WatchList::restore() {
    clear();
    if (!formatHasWatches()) return;

    IniDocument document;
    try {
        document = readIniFile(context_.project.path);
    } catch (const FileError& error) {
        projectFileUnread_ = true;
        context_.host.showError(std::string("The watches could not be restored: ") + error.what());
        return;
    }
    SavedWatches saved = readSavedWatches(document);
    std::string message;
    if (!saved.problem.empty()) {
        message = "The section WATCH of the project file is damaged: " + saved.problem +
                  "; its watches were read in the order of their keys.";
    }

    std::erase_if(saved.entries, isBlank);
    std::optional<CVariableTable> variables;
    if (context_.project.format == ProjectFormat::Icc11 && !saved.entries.empty()) {
        std::string error;
        variables = CVariableTable::read(context_.project, error);
        if (!variables) {
            keptEntries_ = std::move(saved.entries);
            if (!message.empty()) message += "\n";
            context_.host.showError(message + kUnrestoredIntro + "\n" + error);
            return;
        }
    }

    std::string problems;
    for (const std::string& text : saved.entries) {
        const std::string problem = restoreEntry(text, variables ? &*variables : nullptr);
        if (!problem.empty()) problems += "\n" + problem;
    }
    if (!problems.empty()) {
        if (!message.empty()) message += "\n";
        message += kUnrestoredIntro + problems;
    }
    if (!message.empty()) context_.host.showError(message);
    refresh();
}

std::string WatchList::restoreEntry(const std::string& text, const CVariableTable* variables) {
    const std::optional<WatchEntry> entry = parseWatchEntry(text);
    if (!entry || !keyFitsProject(*entry)) {
        keptEntries_.push_back(text);
        return "\"" + text + "\" is not a name, a format of this project and a length";
    }

    WatchRow row{entry->name, 0, entry->key, entry->length, {}};
    if (!variables) {
        const MEMORYSYM* symbol = findSymbol(context_.sourceMap, entry->name);
        if (!symbol) return {};
        row.address = symbol->address;
    } else {
        const auto [variable, scope] = splitCName(entry->name);
        const CVariableLookup lookup = variables->find(scope, variable);
        if (!lookup.error.empty()) {
            keptEntries_.push_back(text);
            return lookup.error;
        }
        if (!lookup.variable) return {};
        row.address = lookup.variable->location;
    }
    rows_.push_back(std::move(row));
    return {};
}

bool WatchList::keyFitsProject(const WatchEntry& entry) const {
    if (context_.project.format != ProjectFormat::Icc11)
        return assemblyWatchFormat(entry.key).has_value();
    const std::optional<CWatchKey> key = parseCWatchKey(entry.key);
    if (!key) return false;
    const auto [variable, scope] = splitCName(entry.name);
    const bool local = scope != kGlobalScopeName;
    return !variable.empty() && !scope.empty() && key->local == local;
}

bool WatchList::save() {
    if (!formatHasWatches()) return true;
    try {
        updateProjectFile(context_.project.path, [&](IniDocument& document) {
            std::vector<std::string> entries;
            for (const WatchRow& row : rows_)
                entries.push_back(watchEntryText({row.name, row.key, row.length}));
            const std::vector<std::string> kept =
                projectFileUnread_ ? readSavedWatches(document).entries : keptEntries_;
            entries.insert(entries.end(), kept.begin(), kept.end());
            writeWatches(document, entries);
        });
    } catch (const FileError& error) {
        context_.host.showError(std::string("The watches could not be saved: ") + error.what());
        return false;
    }
    return true;
}

bool WatchList::formatHasWatches() const {
    const ProjectFormat format = context_.project.format;
    return (format == ProjectFormat::Asm11 || format == ProjectFormat::Icc11) &&
           !context_.project.path.empty();
}

std::string WatchList::evaluate(const WatchRow& row) const {
    const Machine& machine = context_.machine;
    if (context_.project.format != ProjectFormat::Icc11) {
        const std::optional<WatchFormat> format = assemblyWatchFormat(row.key);
        return format ? evaluateWatch(machine, row.address, *format, row.length) : std::string();
    }
    const std::optional<CWatchKey> key = parseCWatchKey(row.key);
    if (!key || !key->format) return {};
    const auto address =
        key->local ? static_cast<std::uint16_t>(machine.ix + row.address) : row.address;
    return evaluateWatch(machine, address, *key->format, row.length);
}

}  // namespace tarnwick
