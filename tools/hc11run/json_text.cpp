#include "hc11run/json_text.h"

#include <cstdio>

namespace tarnwick {

std::string jsonString(std::string_view bytes) {
    std::string text = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            text += '\\';
            text += c;
        } else if (byte == '\n') {
            text += "\\n";
        } else if (byte == '\r') {
            text += "\\r";
        } else if (byte == '\t') {
            text += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", byte);
            text += escape;
        } else if (byte >= 0x80) {
            text += static_cast<char>(0xC0 | byte >> 6);
            text += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            text += c;
        }
    }
    return text + '"';
}

void JsonWriter::key(std::string_view key) {
    if (!first_) text_ += ',';
    first_ = false;
    if (!key.empty()) text_ += jsonString(key) + ':';
}

JsonWriter& JsonWriter::beginObject(std::string_view name) {
    key(name);
    text_ += '{';
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    text_ += '}';
    first_ = false;
    return *this;
}

JsonWriter& JsonWriter::beginArray(std::string_view name) {
    key(name);
    text_ += '[';
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    text_ += ']';
    first_ = false;
    return *this;
}

JsonWriter& JsonWriter::number(std::string_view name, std::uint64_t value) {
    key(name);
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::real(std::string_view name, double value) {
    key(name);
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.9g", value);
    text_ += digits;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view name, std::string_view value) {
    key(name);
    text_ += jsonString(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(std::string_view name, bool value) {
    key(name);
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null(std::string_view name) {
    key(name);
    text_ += "null";
    return *this;
}

}  // namespace tarnwick
