// The Windows-1252 code page of the PCs that write cut lists, decoded for
// display, the clipboard and the CSV. Every byte becomes exactly one
// character: the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the C1 control characters of the same number, so no byte
// of a cell is ever lost or replaced, and a copy and a CSV of the same row
// agree.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace windows1252 {

// The Unicode code point of one byte.
char32_t CodePoint(unsigned char byte);

// The most UTF-8 bytes one byte can become.
inline constexpr std::size_t kMaxUtf8PerByte = 3;

// Writes the UTF-8 form of bytes at out and returns the end of what it wrote.
// It may write one byte past that end: out needs room for the UTF-8 form and
// kMaxUtf8PerByte bytes more (bytes.size() * kMaxUtf8PerByte is always enough).
char* ToUtf8(std::string_view bytes, char* out);

// Appends the UTF-8 form of bytes to out.
void AppendUtf8(std::string& out, std::string_view bytes);

// The UTF-8 form of bytes.
std::string ToUtf8(std::string_view bytes);

// The Windows-1252 bytes of a UTF-8 text (a file name, say), one per
// character; a character the code page lacks, or a byte that is not UTF-8,
// becomes '?'.
std::string FromUtf8(std::string_view utf8);

// The Windows-1252 bytes of a UTF-8 text into out; false, out unspecified,
// when it holds a character the code page lacks or a byte that is not UTF-8
// (a text typed to be looked for among the cells, which then holds none).
bool FromUtf8Exact(std::string_view utf8, std::string& out);

// The byte of each byte's lower-case letter: A to Z, the accented capitals
// from 0xC0 to 0xDE (but the multiplication sign 0xD7), and the four capitals
// among 0x8A to 0x9F (Š, Œ, Ž, Ÿ) become their small letters; every other
// byte stays itself. Matching folded bytes is matching the decoded texts
// ignoring letter case.
extern const std::array<unsigned char, 256> kLowerCase;

}  // namespace windows1252
