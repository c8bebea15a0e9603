#include "core/windows1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace windows1252 {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest are Latin-1's own.
constexpr char32_t kHighControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr char32_t Decode(unsigned byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControlRange[byte - 0x80] : char32_t{byte};
}

// The UTF-8 bytes of each of the 128 bytes from 0x80 up, and their number.
struct Utf8 {
    std::uint8_t length;
    char bytes[kMaxUtf8PerByte];
};

constexpr std::array<Utf8, 128> MakeTable() {
    std::array<Utf8, 128> table{};
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        const char32_t cp = Decode(byte);
        Utf8& entry = table[byte - 0x80];
        if (cp < 0x800) {
            entry.length = 2;
            entry.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            entry.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            entry.length = 3;
            entry.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            entry.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            entry.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return table;
}

constexpr std::array<Utf8, 128> kUtf8 = MakeTable();

constexpr std::array<unsigned char, 256> MakeLowerCase() {
    std::array<unsigned char, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        const bool latinCapital =
            (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
        table[byte] = static_cast<unsigned char>(latinCapital ? byte + 0x20 : byte);
    }
    // Š, Œ and Ž sit 0x10 below their small letters, Ÿ far from ÿ.
    for (const unsigned byte : {0x8Au, 0x8Cu, 0x8Eu}) {
        table[byte] = static_cast<unsigned char>(byte + 0x10);
    }
    table[0x9F] = 0xFF;
    return table;
}

}  // namespace

constexpr std::array<unsigned char, 256> kLowerCase = MakeLowerCase();

char32_t CodePoint(unsigned char byte) {
    return Decode(byte);
}

char* ToUtf8(std::string_view bytes, char* out) {
    const char* in = bytes.data();
    const char* const end = in + bytes.size();
    while (in != end) {
        // ASCII, the bulk of every cut list, goes across eight bytes at a time.
        while (end - in >= 8) {
            std::uint64_t word;
            std::memcpy(&word, in, sizeof word);
            if ((word & 0x8080808080808080u) != 0) {
                break;
            }
            std::memcpy(out, in, sizeof word);
            in += sizeof word;
            out += sizeof word;
        }
        if (in == end) {
            break;
        }
        const auto byte = static_cast<unsigned char>(*in++);
        if (byte < 0x80) {
            *out++ = static_cast<char>(byte);
        } else {
            const Utf8& entry = kUtf8[byte - 0x80u];
            std::memcpy(out, entry.bytes, kMaxUtf8PerByte);
            out += entry.length;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, std::string_view bytes) {
    const std::size_t start = out.size();
    out.resize(start + bytes.size() * kMaxUtf8PerByte);
    char* const end = ToUtf8(bytes, out.data() + start);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    AppendUtf8(out, bytes);
    return out;
}

namespace {

// The byte of a code point; false for one the code page lacks.
bool EncodeCodePoint(char32_t cp, char& byte) {
    if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) {
        byte = static_cast<char>(cp);
        return true;
    }
    for (unsigned b = 0x80; b < 0xA0; ++b) {
        if (Decode(b) == cp) {
            byte = static_cast<char>(b);
            return true;
        }
    }
    return false;
}

// The code point of the UTF-8 sequence at text[i], moving i past it; an
// invalid or cut sequence gives U+FFFD and moves past one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    const std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead < 0x80) {
        return lead;
    }
    if (lead < 0xC2 || lead > 0xF4 || text.size() - i < extra) {
        return 0xFFFD;
    }
    char32_t cp = lead & (0x3Fu >> extra);
    for (std::size_t k = 0; k < extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3Fu);
    }
    i += extra;
    return cp;
}

}  // namespace

std::string FromUtf8(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char byte = '?';
        EncodeCodePoint(NextCodePoint(utf8, i), byte);
        out += byte;
    }
    return out;
}

bool FromUtf8Exact(std::string_view utf8, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        // A byte that is not UTF-8 comes as U+FFFD, which the code page
        // lacks too.
        char byte = '?';
        if (!EncodeCodePoint(NextCodePoint(utf8, i), byte)) {
            return false;
        }
        out += byte;
    }
    return true;
}

}  // namespace windows1252
