#include "core/text/CodePages.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zobl {
namespace {

// Upper halves (bytes 0x80..0xFF) of the two pages; the lower halves are ASCII in both.
using UpperHalf = std::array<char16_t, 128>;

// clang-format off

constexpr UpperHalf kCp1252Upper = {
    // 0x80
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    // 0x90
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    // 0xA0..0xFF: identical to ISO 8859-1
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

constexpr UpperHalf kCp850Upper = {
    // 0x80: Ç ü é â ä à å ç ê ë è ï î ì Ä Å
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    // 0x90: É æ Æ ô ö ò û ù ÿ Ö Ü ø £ Ø × ƒ
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    // 0xA0: á í ó ú ñ Ñ ª º ¿ ® ¬ ½ ¼ ¡ « »
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    // 0xB0: ░ ▒ ▓ │ ┤ Á Â À © ╣ ║ ╗ ╝ ¢ ¥ ┐
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    // 0xC0: └ ┴ ┬ ├ ─ ┼ ã Ã ╚ ╔ ╩ ╦ ╠ ═ ╬ ¤
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    // 0xD0: ð Ð Ê Ë È ı Í Î Ï ┘ ┌ █ ▄ ¦ Ì ▀
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    // 0xE0: Ó ß Ô Ò õ Õ µ þ Þ Ú Û Ù ý Ý ¯ ´
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    // 0xF0: soft hyphen ± ‗ ¾ ¶ § ÷ ¸ ° ¨ · ¹ ³ ² ■ no-break space
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};
// clang-format on

// The inverse of an upper half: (code point, byte) pairs sorted by code point.
struct ReverseEntry {
    char16_t codePoint;
    unsigned char byte;
};
using ReverseTable = std::array<ReverseEntry, 128>;

constexpr ReverseTable MakeReverse(const UpperHalf& upper) {
    ReverseTable table{};
    for (std::size_t i = 0; i < upper.size(); ++i) {
        table[i] = {upper[i], static_cast<unsigned char>(0x80 + i)};
    }
    std::sort(table.begin(), table.end(),
              [](const ReverseEntry& a, const ReverseEntry& b) { return a.codePoint < b.codePoint; });
    return table;
}

constexpr ReverseTable kCp1252Reverse = MakeReverse(kCp1252Upper);
constexpr ReverseTable kCp850Reverse = MakeReverse(kCp850Upper);

constexpr bool StrictlyAscending(const ReverseTable& table) {
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (!(table[i - 1].codePoint < table[i].codePoint)) {
            return false;
        }
    }
    return true;
}
// A repeated code point would make the page lose a byte on the way back.
static_assert(StrictlyAscending(kCp1252Reverse) && kCp1252Reverse[0].codePoint >= 0x80);
static_assert(StrictlyAscending(kCp850Reverse) && kCp850Reverse[0].codePoint >= 0x80);

// The end of the run of ASCII bytes that starts at pos. Texts are mostly ASCII, which every
// conversion copies a run at a time.
std::size_t AsciiRunEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    return pos;
}

std::string ToUtf8(std::string_view text, const UpperHalf& upper) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = AsciiRunEnd(text, pos);
        out.append(text.substr(pos, end - pos));
        for (pos = end; pos < text.size() && static_cast<unsigned char>(text[pos]) >= 0x80; ++pos) {
            AppendUtf8(out, upper[static_cast<unsigned char>(text[pos]) - 0x80]);
        }
    }
    return out;
}

constexpr char FromCodePoint(char32_t codePoint, const ReverseTable& reverse) {
    if (codePoint < 0x80) {
        return static_cast<char>(codePoint);
    }
    // Above the table (the replacement character of every malformed byte among them).
    if (codePoint > reverse.back().codePoint) {
        return '?';
    }
    const auto it =
        std::lower_bound(reverse.begin(), reverse.end(), codePoint,
                         [](const ReverseEntry& entry, char32_t cp) { return entry.codePoint < cp; });
    if (it != reverse.end() && it->codePoint == codePoint) {
        return static_cast<char>(it->byte);
    }
    return '?';
}

std::string FromUtf8(std::string_view text, const ReverseTable& reverse) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = AsciiRunEnd(text, pos);
        out.append(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size()) {
            out.push_back(FromCodePoint(DecodeUtf8(text, pos), reverse));
        }
    }
    return out;
}

using ByteTable = std::array<char, 256>;

constexpr ByteTable MakeByteTable(const UpperHalf& from, const ReverseTable& to) {
    ByteTable table{};
    for (std::size_t i = 0; i < 128; ++i) {
        table[i] = static_cast<char>(i);
        table[i + 128] = FromCodePoint(from[i], to);
    }
    return table;
}

constexpr ByteTable kCp1252ToCp850 = MakeByteTable(kCp1252Upper, kCp850Reverse);
constexpr ByteTable kCp850ToCp1252 = MakeByteTable(kCp850Upper, kCp1252Reverse);

std::string Translate(std::string_view text, const ByteTable& table) {
    std::string out(text.size(), '\0');
    std::transform(text.begin(), text.end(), out.begin(),
                   [&table](char c) { return table[static_cast<unsigned char>(c)]; });
    return out;
}

// The characters the page lacks, each once in order of first appearance.
std::string Missing(std::string_view text, const ReverseTable& reverse) {
    std::string missing;
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos = AsciiRunEnd(text, pos);
        if (pos == text.size()) {
            break;
        }
        const char32_t codePoint = DecodeUtf8(text, pos);
        if (FromCodePoint(codePoint, reverse) != '?') {
            continue;
        }
        std::string character;
        AppendUtf8(character, codePoint);
        if (missing.find(character) == std::string::npos) {
            missing += character;
        }
    }
    return missing;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    // A table instead of two range tests per character: names are compared in every line of
    // a file that is searched.
    static constexpr std::array<char, 256> kFolded = [] {
        std::array<char, 256> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i] = FoldAsciiCase(static_cast<char>(i));
        }
        return table;
    }();
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kFolded[static_cast<unsigned char>(a[i])] != kFolded[static_cast<unsigned char>(b[i])]) {
            return false;
        }
    }
    return true;
}

char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return kReplacementCharacter;
    }
    if (text.size() - pos < length) {
        ++pos;
        return kReplacementCharacter;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(byte)) {
            ++pos;
            return kReplacementCharacter;
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++pos;
        return kReplacementCharacter;
    }
    pos += length;
    return codePoint;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        codePoint = kReplacementCharacter;
    }
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        // U+FFFD itself is well-formed; only a one-byte step marks a malformed byte.
        if (DecodeUtf8(text, pos) == kReplacementCharacter && pos - start == 1) {
            return false;
        }
    }
    return true;
}

std::string SanitizeUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t codePoint = DecodeUtf8(text, pos);
        if (codePoint == kReplacementCharacter && pos - start == 1) {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            out.append(text.substr(start, pos - start));
        }
    }
    return out;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        DecodeUtf8(text, pos);
        ++count;
    }
    return count;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t codePoints) {
    std::size_t pos = 0;
    for (std::size_t count = 0; count < codePoints && pos < text.size(); ++count) {
        DecodeUtf8(text, pos);
    }
    return text.substr(0, pos);
}

std::string Cp1252ToUtf8(std::string_view text) {
    return ToUtf8(text, kCp1252Upper);
}
std::string Utf8ToCp1252(std::string_view text) {
    return FromUtf8(text, kCp1252Reverse);
}
std::string Cp850ToUtf8(std::string_view text) {
    return ToUtf8(text, kCp850Upper);
}
std::string Utf8ToCp850(std::string_view text) {
    return FromUtf8(text, kCp850Reverse);
}
std::string Cp1252ToCp850(std::string_view text) {
    return Translate(text, kCp1252ToCp850);
}
std::string Cp850ToCp1252(std::string_view text) {
    return Translate(text, kCp850ToCp1252);
}
std::string MissingFromCp1252(std::string_view text) {
    return Missing(text, kCp1252Reverse);
}
std::string MissingFromCp850(std::string_view text) {
    return Missing(text, kCp850Reverse);
}

}  // namespace zobl
