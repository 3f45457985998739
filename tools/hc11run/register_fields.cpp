#include "hc11run/register_fields.h"

#include <algorithm>

#include "hc11run/option_values.h"

namespace tarnwick {

const RegisterField* findRegisterField(std::string_view name) {
    const auto found = std::ranges::find(kRegisterFields, upperCase(name), &RegisterField::name);
    return found == kRegisterFields.end() ? nullptr : &*found;
}

std::string registerNameList() {
    std::string list;
    for (const RegisterField& field : kRegisterFields)
        list += (list.empty() ? "" : ", ") + std::string(field.name);
    return list;
}

}  // namespace tarnwick
