// The data exchange's rules without Win32: how a field's text reads as an unsigned number, how a
// flag shows in a check box, and the refusal messages. The page's Settings dialog follows them too.
#pragma once

#include <cstdint>

namespace data_rules {

constexpr char kNotAnUnsigned[] = "Please enter a positive integer.";

// Optional blanks and tabs, an optional plus sign, decimal digits, optional blanks and tabs.
// False for any other text; a number too large for 32 bits reads as 0xFFFFFFFF.
constexpr bool ReadUnsigned(const char* text, uint32_t& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const char* p = text;
    while (blank(*p)) ++p;
    if (*p == '+') ++p;
    if (*p < '0' || *p > '9') return false;
    unsigned long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + static_cast<unsigned>(*p - '0');
        if (n > 0xFFFFFFFFull) n = 0x100000000ull;  // stays too large, however many digits follow
    }
    while (blank(*p)) ++p;
    if (*p) return false;
    value = n > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(n);
    return true;
}

// Writes the decimal digits of `value` ending just before `end`; returns where they start.
constexpr char* Decimal(uint32_t value, char* end) {
    *--end = '\0';
    do {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    return end;
}

// "Please enter an integer between MIN and MAX." into `out`, which holds at least 64 characters.
constexpr void OutOfRange(uint32_t min, uint32_t max, char* out) {
    char low[11 + 1] = {}, high[11 + 1] = {};
    const char* parts[] = {"Please enter an integer between ", Decimal(min, low + sizeof low), " and ",
                           Decimal(max, high + sizeof high), "."};
    for (const char* part : parts)
        while (*part) *out++ = *part++;
    *out = '\0';
}

// A check box shows a flag of 0, 1 or 2; any other flag shows unchecked and becomes 0.
constexpr int32_t ShownCheck(int32_t flag) { return flag < 0 || flag > 2 ? 0 : flag; }

}  // namespace data_rules
