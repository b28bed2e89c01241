// Windows-1252, the window's ANSI code page, against UTF-8 at the terminal. The five bytes the
// code page leaves unassigned stand for the C1 controls of the same number, so every byte has a
// character and every such character its byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cp1252 {

// The characters of 0x80-0x9F; the rest of the code page is Latin-1.
constexpr std::array<uint16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr uint32_t CodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// The byte of a character, or -1 when the code page has none.
constexpr int Byte(uint32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint < 0x100))
        return static_cast<int>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == codePoint)
            return static_cast<int>(0x80 + i);
    return -1;
}

// Writes the UTF-8 of a code point below 0x10000 at p; returns the end.
constexpr char* EncodeUtf8(char* p, uint32_t cp)
{
    if (cp < 0x80) {
        *p++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *p++ = static_cast<char>(0xC0 | cp >> 6);
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *p++ = static_cast<char>(0xE0 | cp >> 12);
        *p++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return p;
}

// Reads one well-formed UTF-8 character from [p, end): returns its length and stores its code
// point, or returns 0 for a byte that does not start one (overlong forms and surrogates too).
constexpr int DecodeUtf8(const char* p, const char* end, uint32_t* cp)
{
    const auto b = [p](int i) { return static_cast<unsigned char>(p[i]); };
    const unsigned char lead = b(0);
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    }
    const int n = lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
    if (n == 0 || end - p < n)
        return 0;
    uint32_t c = lead & (0x7F >> n);
    for (int i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (b(i) & 0x3F);
    }
    if ((n == 3 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)))
        return 0;
    *cp = c;
    return n;
}

}  // namespace cp1252
