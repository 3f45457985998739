#include "debugger/watch_variables.h"

#include <algorithm>

#include "project/debug_file.h"
#include "project/file_names.h"
#include "project/symbol_file.h"

namespace tarnwick {
namespace {

// Decimal digits with an optional minus sign, kept to 16 bits as IX arithmetic wraps them.
std::optional<std::uint16_t> parseFrameOffset(std::string_view text) {
    const bool negative = text.starts_with('-');
    const auto magnitude = parseDecimal(negative ? text.substr(1) : text);
    if (!magnitude) return std::nullopt;
    return static_cast<std::uint16_t>(negative ? 0x10000 - *magnitude : *magnitude);
}

}  // namespace

std::optional<CVariableTable> CVariableTable::read(const Project& project, std::string& error) {
    if (project.files.empty()) {
        error = "No file loaded to the project";
        return std::nullopt;
    }
    CVariableTable table;
    table.path_ = findIgnoringCase(resolveName(project.directory, project.files.front()));
    const auto lines = readTextLines(table.path_, error);
    if (!lines) return std::nullopt;

    std::optional<std::string> function;  // set between FUNC and FUNCEND
    for (std::size_t index = 0; index < lines->size(); ++index) {
        LineTokens tokens((*lines)[index]);
        const std::string_view keyword = tokens.next();
        if (keyword == "FUNC") {
            function = std::string(tokens.next());
        } else if (keyword == "FUNCEND") {
            function.reset();
        } else if (keyword == "DEFGLOBAL" || (keyword == "DEFLOCAL" && function)) {
            Declaration declaration;
            declaration.scope = keyword == "DEFGLOBAL" ? kGlobalScopeName : *function;
            declaration.name = tokens.next();
            declaration.location = tokens.next();
            declaration.typeCode = tokens.next();
            declaration.line = index + 1;
            if (!declaration.name.empty()) table.declarations_.push_back(std::move(declaration));
        }
    }
    return table;
}

std::vector<std::string> CVariableTable::names(std::string_view scope) const {
    std::vector<std::string> result;
    for (const Declaration& declaration : declarations_)
        if (declaration.scope == scope) result.push_back(declaration.name);
    return result;
}

CVariableLookup CVariableTable::find(std::string_view scope, std::string_view name) const {
    const auto found = std::ranges::find_if(declarations_, [&](const Declaration& declaration) {
        return declaration.scope == scope && declaration.name == name;
    });
    if (found == declarations_.end()) return {};

    const bool global = scope == kGlobalScopeName;
    const auto location =
        global ? parseHexWord(found->location) : parseFrameOffset(found->location);
    if (!location) {
        return {std::nullopt,
                path_.string() + ", line " + std::to_string(found->line) + ": " +
                    (global ? "the address of " + found->name + " is not a hex number up to FFFF"
                            : "the frame offset of " + found->name + " is not a decimal number")};
    }
    return {CVariable{found->name, *location, found->typeCode}, {}};
}

}  // namespace tarnwick
