#include "core/windows1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Windows1252, DecodesEveryByteToExactlyOneCharacter) {
    EXPECT_EQ(windows1252::ToUtf8("Citt\xE0 perch\xE8"), "Citt\xC3\xA0 perch\xC3\xA8");
    EXPECT_EQ(windows1252::ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(windows1252::ToUtf8("\x9F\xA0\xFF"), "\xC5\xB8\xC2\xA0\xC3\xBF");
    // The five bytes the code page leaves undefined keep their number.
    EXPECT_EQ(windows1252::ToUtf8("\x81\x8D\x8F\x90\x9D"),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(windows1252::CodePoint(0x9D), U'\x9D');
    EXPECT_EQ(windows1252::CodePoint(0x80), U'\x20AC');
    // The 32 bytes from 0x80 up, the range where the code page differs from
    // Latin-1.
    std::string high;
    for (int b = 0x80; b < 0xA0; ++b) {
        high += static_cast<char>(b);
    }
    EXPECT_EQ(windows1252::ToUtf8(high),
              "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F"
              "\u0090‘’“”•–—˜™š›œ\u009DžŸ");

    // Every byte, after runs of ASCII of every length around the eight bytes
    // taken at a time.
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += std::string(static_cast<std::size_t>(b % 11), 'a');
        all += static_cast<char>(b);
    }
    const std::string utf8 = windows1252::ToUtf8(all);
    std::u32string decoded;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
        char32_t cp = length == 1 ? lead : length == 2 ? lead & 0x1Fu : lead & 0x0Fu;
        for (std::size_t k = 1; k < length; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        }
        decoded += cp;
        i += length;
    }
    ASSERT_EQ(decoded.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(decoded[i], windows1252::CodePoint(static_cast<unsigned char>(all[i])));
    }
}

TEST(Windows1252, FromUtf8TakesEveryByteBackAndMarksTheRest) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(windows1252::FromUtf8(windows1252::ToUtf8(all)), all);
    // A character the code page lacks, a stray continuation byte, a cut
    // sequence.
    EXPECT_EQ(windows1252::FromUtf8("\xE2\x82\xAC\xE2\x86\x92\x80x\xC3"), "\x80??x?");

    // The exact form refuses what the lenient one marks with '?'.
    std::string exact;
    EXPECT_TRUE(windows1252::FromUtf8Exact(windows1252::ToUtf8(all), exact));
    EXPECT_EQ(exact, all);
    for (const char* text : {"\xE2\x86\x92", "a\x80", "\xC3", "\xEF\xBF\xBD"}) {
        EXPECT_FALSE(windows1252::FromUtf8Exact(text, exact)) << text;
    }
}

}  // namespace
