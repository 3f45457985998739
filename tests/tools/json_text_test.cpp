#include "hc11run/json_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

TEST(JsonTextTest, AnyBytesBecomeAValidJsonString) {
    const struct {
        std::string bytes;
        std::string json;
    } cases[] = {
        {"OK\r\n", R"("OK\r\n")"},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {std::string("\0\x1B\x7F\t", 4), R"("\u0000\u001B\u007F\t")"},
        // Bytes from 80 on stand for the characters of the same code, in UTF-8.
        {"\x80\xE9\xFF", "\"\xC2\x80\xC3\xA9\xC3\xBF\""},
    };
    for (const auto& c : cases) EXPECT_EQ(jsonString(c.bytes), c.json) << c.json;
}

TEST(JsonTextTest, MembersAndElementsAreSeparatedByCommas) {
    JsonWriter json;
    json.beginObject()
        .number("a", 1)
        .beginArray("list")
        .number({}, 2)
        .beginObject()
        .boolean("b", true)
        .null("c")
        .endObject()
        .endArray()
        .real("r", 0.5)
        .string("s", "x")
        .endObject();
    EXPECT_EQ(json.text(), R"({"a":1,"list":[2,{"b":true,"c":null}],"r":0.5,"s":"x"})");
}

}  // namespace
}  // namespace tarnwick
