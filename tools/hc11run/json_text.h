#pragma once

// Builds one JSON object as text, for the --summary=json report.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// A JSON string: quotes, backslashes and control bytes escaped, and every byte from 80 on as
// the character of the same code, so that any bytes give valid UTF-8.
std::string jsonString(std::string_view bytes);

// Appends members and elements with the commas between them.
class JsonWriter {
  public:
    JsonWriter& beginObject(std::string_view key = {});
    JsonWriter& endObject();
    JsonWriter& beginArray(std::string_view key = {});
    JsonWriter& endArray();
    JsonWriter& number(std::string_view key, std::uint64_t value);
    JsonWriter& real(std::string_view key, double value);
    JsonWriter& string(std::string_view key, std::string_view value);
    JsonWriter& boolean(std::string_view key, bool value);
    JsonWriter& null(std::string_view key);

    const std::string& text() const { return text_; }

  private:
    void key(std::string_view key);

    std::string text_;
    bool first_ = true;  // nothing yet in the open object or array
};

}  // namespace tarnwick
