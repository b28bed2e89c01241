// The text the program reads and writes, said once for every front-end: the plain ASCII
// character classes whatever the user's locale, decimal digits out and digits of any radix in,
// the number field of a dialog, and Windows-1252 (the window's ANSI code page) against UTF-8.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace text {

// ---- characters

// The six white-space characters: tab, line feed, vertical tab, form feed, carriage return, space.
constexpr bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Digit values up to radix 36: 0-9, then A-Z and a-z as 10-35; 0xFF for everything else.
inline constexpr std::array<unsigned char, 256> kDigitValue = [] {
    std::array<unsigned char, 256> t{};
    t.fill(0xFF);
    for (int c = 0; c < 10; ++c) t['0' + c] = static_cast<unsigned char>(c);
    for (int c = 0; c < 26; ++c) t['A' + c] = t['a' + c] = static_cast<unsigned char>(10 + c);
    return t;
}();

// ---- numbers

// Reads the digits of `radix` at p into `value`, which stops growing at `cap` (so a value of
// `cap` means "cap or more"); every digit is consumed either way. Returns the end of the digits.
constexpr const char* ReadDigits(const char* p, unsigned radix, uint64_t cap, uint64_t& value) {
    value = 0;
    for (unsigned d; (d = kDigitValue[static_cast<unsigned char>(*p)]) < radix; ++p) {
        const uint64_t next = value * radix + d;
        value = next < cap ? next : cap;
    }
    return p;
}

// "00" to "99": decimal output two digits per division.
inline constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[2 * i] = static_cast<char>('0' + i / 10);
        t[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

inline constexpr std::array<uint32_t, 10> kPowersOfTen = {1,        10,        100,        1000,      10000,
                                                          100000,   1000000,   10000000,   100000000, 1000000000};

constexpr int DecimalLength(uint32_t v) {
    // bits * log10(2) is the digit count or one short of it.
    const int guess = static_cast<int>(std::bit_width(v | 1u)) * 1233 >> 12;
    return guess + (v >= kPowersOfTen[guess] ? 1 : 0) + (v == 0 ? 1 : 0);
}

// Writes v in decimal at p (no NUL) and returns the end of the digits.
constexpr char* WriteDecimal(char* p, uint32_t v, int length) {
    char* const end = p + length;
    char* q = end;
    while (v >= 100) {
        q -= 2;
        q[0] = kDigitPairs[v % 100 * 2];
        q[1] = kDigitPairs[v % 100 * 2 + 1];
        v /= 100;
    }
    if (v >= 10) {
        q[-2] = kDigitPairs[v * 2];
        q[-1] = kDigitPairs[v * 2 + 1];
    } else {
        q[-1] = static_cast<char>('0' + v);
    }
    return end;
}
constexpr char* WriteDecimal(char* p, uint32_t v) { return WriteDecimal(p, v, DecimalLength(v)); }

// ---- a dialog's number field (the Settings dialog's increment), on every front-end

constexpr char kNotAnUnsigned[] = "Please enter a positive integer.";

// Optional blanks and tabs, an optional plus sign, decimal digits, optional blanks and tabs.
// False for any other text; a number too large for 32 bits reads as 0xFFFFFFFF.
constexpr bool ReadUnsigned(const char* text, uint32_t& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const char* p = text;
    while (blank(*p)) ++p;
    if (*p == '+') ++p;
    uint64_t n = 0;
    const char* const digits = p;
    p = ReadDigits(p, 10, 0x100000000u, n);
    if (p == digits) return false;
    while (blank(*p)) ++p;
    if (*p) return false;
    value = n > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(n);
    return true;
}

// "Please enter an integer between MIN and MAX." into `out`, which holds at least 64 characters.
constexpr void OutOfRange(uint32_t min, uint32_t max, char* out) {
    const auto copy = [&out](const char* s) {
        while (*s) *out++ = *s++;
    };
    copy("Please enter an integer between ");
    out = WriteDecimal(out, min);
    copy(" and ");
    out = WriteDecimal(out, max);
    copy(".");
    *out = '\0';
}

// A number field with limits, as the Settings dialog's increment: true with the number, or false
// with the refusal the dialog shows in `refusal` (64 characters).
constexpr bool ReadUnsignedWithin(const char* text, uint32_t min, uint32_t max, uint32_t& value, char* refusal) {
    if (!ReadUnsigned(text, value)) {
        for (const char* p = kNotAnUnsigned; (*refusal++ = *p++) != '\0';) {}
        return false;
    }
    if (value >= min && value <= max) return true;
    OutOfRange(min, max, refusal);
    return false;
}

// A check box shows a flag of 0, 1 or 2; any other flag shows unchecked and becomes 0.
constexpr int32_t ShownCheck(int32_t flag) { return flag < 0 || flag > 2 ? 0 : flag; }

// ---- Windows-1252 and UTF-8
// The five bytes the code page leaves unassigned stand for the C1 controls of the same number,
// so every byte has a character and every such character its byte.

// The characters of 0x80-0x9F; the rest of the code page is Latin-1.
inline constexpr std::array<uint16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr uint32_t CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// The byte of a character, or -1 when the code page has none.
constexpr int Byte(uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint < 0x100)) return static_cast<int>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == codePoint) return static_cast<int>(0x80 + i);
    return -1;
}

// Writes the UTF-8 of a code point below 0x10000 at p; returns the end.
constexpr char* EncodeUtf8(char* p, uint32_t cp) {
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
constexpr int DecodeUtf8(const char* p, const char* end, uint32_t* cp) {
    const auto b = [p](int i) { return static_cast<unsigned char>(p[i]); };
    const unsigned char lead = b(0);
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    }
    const int n = lead >= 0xC2 && lead < 0xE0   ? 2
                  : lead >= 0xE0 && lead < 0xF0 ? 3
                  : lead >= 0xF0 && lead < 0xF5 ? 4
                                                : 0;
    if (n == 0 || end - p < n) return 0;
    uint32_t c = lead & (0x7F >> n);
    for (int i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        c = c << 6 | (b(i) & 0x3F);
    }
    if ((n == 3 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)))
        return 0;
    *cp = c;
    return n;
}

// UTF-8 in, Windows-1252 out: `take` gets each character's byte in turn, or -1 for a character the
// code page lacks and for a byte that starts no character; it returns false to stop.
template <class Take>
constexpr void Utf8ToCp1252(const char* p, const char* end, Take take) {
    while (p < end) {
        uint32_t cp = 0;
        const int n = DecodeUtf8(p, end, &cp);
        if (!take(n ? Byte(cp) : -1)) return;
        p += n ? n : 1;
    }
}

// Windows-1252 in, UTF-8 out at `out` (three bytes a byte at most); returns the end.
constexpr char* Cp1252ToUtf8(const char* bytes, std::size_t length, char* out) {
    for (std::size_t i = 0; i < length; ++i) out = EncodeUtf8(out, CodePoint(static_cast<unsigned char>(bytes[i])));
    return out;
}

}  // namespace text
