#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/project.h"

namespace tarnwick {

// A variable of a C program as its watch needs it.
struct CVariable {
    std::string name;
    // A global's address, or a local's offset from IX (negative offsets wrapped to 16 bits).
    std::uint16_t location = 0;
    std::string typeCode;
};

struct CVariableLookup {
    std::optional<CVariable> variable;  // none when the scope does not declare the name
    std::string error;                  // the declaration's number does not convert
};

// The variable declarations of an ICC11 debug file: "DEFGLOBAL name address type" for the
// globals (address in hex) and "DEFLOCAL name offset type" between "FUNC name" and "FUNCEND"
// for the locals of that function (offset in decimal). Scopes are function names and
// kGlobalScopeName.
class CVariableTable {
  public:
    // Reads the project's debug file, its first file. `error` names the file when it cannot be
    // read.
    static std::optional<CVariableTable> read(const Project& project, std::string& error);

    // The names the scope declares, in file order.
    std::vector<std::string> names(std::string_view scope) const;

    // The first declaration of the name in the scope.
    CVariableLookup find(std::string_view scope, std::string_view name) const;

  private:
    struct Declaration {
        std::string scope;
        std::string name;
        std::string location;  // as written; converted when a watch asks for it
        std::string typeCode;
        std::size_t line = 0;
    };

    std::filesystem::path path_;
    std::vector<Declaration> declarations_;
};

}  // namespace tarnwick
