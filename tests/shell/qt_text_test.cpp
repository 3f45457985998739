#include "shell/qt_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

TEST(QtTextTest, MemoryBytesShowAsCodePage1252Characters) {
    const struct {
        unsigned char byte;
        char16_t shown;
    } cases[] = {
        {0x41, u'A'},      {0x7E, u'~'},      {0x80, u'\u20AC'},
        {0x81, u'.'},      {0x8A, u'\u0160'}, {0x9F, u'\u0178'},
        {0xA0, u'\u00A0'}, {0xE4, u'\u00E4'}, {0xFF, u'\u00FF'},
    };
    for (const auto& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(byteText(byte), QString(QChar(c.shown))) << int(c.byte);
    }
}

TEST(QtTextTest, EightBitFilesRoundTripEveryByte) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    const QString text = decodeCodePage1252(all);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x81], QChar(0x81));  // undefined: kept as the control character
    EXPECT_EQ(encodeCodePage1252(text), all);
    EXPECT_EQ(encodeCodePage1252(QString::fromUtf8("A\u0151")), std::nullopt);
}

TEST(QtTextTest, MixedTextsAreUtf8WhenTheyCanBe) {
    // The analysis of LDAA with E4 in memory carries the byte itself between quotes.
    EXPECT_EQ(mixedText("E4 '\xE4' 228"), QString::fromUtf8("E4 '\u00E4' 228"));
    // A build message naming a file in UTF-8.
    EXPECT_EQ(mixedText("ERR* M\xC3\xBCller.asm [3] Undefined symbol"),
              QString::fromUtf8("ERR* M\u00FCller.asm [3] Undefined symbol"));
}

}  // namespace
}  // namespace tarnwick
