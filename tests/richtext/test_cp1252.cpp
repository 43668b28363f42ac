// Code page 1252 both ways, on every byte and every character of the basic plane.
#include "Cp1252.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

using namespace vmg::richtext;

TEST(Cp1252, EveryByteSurvivesDecodeAndEncode) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const QString text = DecodeCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(EncodeCp1252(text), all);
}

TEST(Cp1252, AgreesWithTheSystemConverterWhereThereIsOne) {
    QStringDecoder system("windows-1252");
    if (!system.isValid()) {
        GTEST_SKIP() << "this Qt has no windows-1252 converter";
    }
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString expected = system.decode(QByteArrayView(&byte, 1));
        ASSERT_EQ(expected.size(), 1) << b;
        EXPECT_EQ(Cp1252ToUnicode(static_cast<unsigned char>(b)), expected[0].unicode()) << b;
    }
}

TEST(Cp1252, ExactlyTheDecodedCharactersHaveAByte) {
    int mapped = 0;
    for (char32_t ch = 0; ch <= 0x10FFFF; ++ch) {
        if (const auto byte = UnicodeToCp1252(ch)) {
            ++mapped;
            EXPECT_EQ(Cp1252ToUnicode(*byte), ch) << std::hex << static_cast<uint32_t>(ch);
        }
    }
    EXPECT_EQ(mapped, 256);
}

TEST(Cp1252, CharactersWithoutAByteBecomeOneReplacementEach) {
    const struct {
        QString text;
        std::string bytes;
    } cases[] = {
        {QStringLiteral("a\u20ACb"), "a\x80"
                                     "b"},
        {QStringLiteral("\u4E2D"), "?"},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), "?"}, // one character outside the basic plane
        {QString(QChar(0xD800)) + QStringLiteral("x"), "?x"}, // an unpaired surrogate
        {QStringLiteral("\u0100\u00FF"), "?\xFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeCp1252(c.text), c.bytes) << c.text.toStdString();
    }
    EXPECT_EQ(EncodeCp1252(u"\u4E2D", '_'), "_");
}
