#include "engine/number.h"

#include "engine/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

namespace {

using text::IsWhite;

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// One byte of a dotted quad: its decimal digits, and their count in the last slot.
struct Octet
{
    char text[4];
};

constexpr std::array<Octet, 256> kOctets = [] {
    std::array<Octet, 256> t{};
    for (int b = 0; b < 256; ++b) {
        t[b].text[3] = static_cast<char>(text::WriteDecimal(t[b].text, static_cast<uint32_t>(b)) - t[b].text);
    }
    return t;
}();

// The eight base-2 digits of each byte.
constexpr std::array<std::array<char, 8>, 256> kByteDigits = [] {
    std::array<std::array<char, 8>, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i)
            t[b][i] = static_cast<char>('0' + (b >> (7 - i) & 1));
    return t;
}();

int BitWidth(uint32_t v) { return static_cast<int>(std::bit_width(v | 1u)); }

}  // namespace

CNumber::CNumber(uint32_t nValue)
    : m_nValue(static_cast<int32_t>(nValue)), m_szDec{}, m_szHex{}, m_szText{}, m_szIP{},
      m_szBin{}, m_bSigned(0), m_nSize(4)
{
    // The dialog never reads a rendering before its first setter, but reading one must be safe.
    UpdateStrings();
}

uint32_t CNumber::GetValue() const { return static_cast<uint32_t>(m_nValue); }

void CNumber::SetValue(uint32_t nValue)
{
    m_nValue = static_cast<int32_t>(nValue);
    UpdateStrings();
}

const char* CNumber::GetDec() const { return m_szDec; }
const char* CNumber::GetHex() const { return m_szHex; }
const char* CNumber::GetText() const { return m_szText; }
const char* CNumber::GetIP() const { return m_szIP; }
const char* CNumber::GetBin() const { return m_szBin; }

void CNumber::SetSigned(int32_t bSigned)
{
    m_bSigned = bSigned;
    UpdateStrings();
}

void CNumber::SetSize(int32_t nSize)
{
    if (nSize != 1 && nSize != 2 && nSize != 4)
        return;
    m_nSize = nSize;
    UpdateStrings();
}

void CNumber::UpdateStrings()
{
    const uint32_t mask = m_nSize == 1 ? 0xFFu : m_nSize == 2 ? 0xFFFFu : 0xFFFFFFFFu;
    const uint32_t v = static_cast<uint32_t>(m_nValue) & mask;

    char* p = m_szDec;
    uint32_t magnitude = v;
    if (m_bSigned && (v & ~(mask >> 1))) {
        *p++ = '-';
        magnitude = (0u - v) & mask;
    }
    *text::WriteDecimal(p, magnitude) = '\0';

    int n = (BitWidth(v) + 3) / 4;
    m_szHex[n] = '\0';
    for (uint32_t x = v; n-- > 0; x >>= 4)
        m_szHex[n] = text::kHexDigits[x & 15];

    char digits[33];
    for (int i = 0; i < 4; ++i)
        std::memcpy(digits + 8 * i, kByteDigits[(v >> (24 - 8 * i)) & 0xFF].data(), 8);
    digits[32] = '\0';
    GroupBinary(digits + 32 - BitWidth(v), m_szBin);

    // Leading zero bytes are skipped; the first zero byte after them ends the text.
    p = m_szText;
    int shift = 24;
    while (shift > 0 && ((v >> shift) & 0xFF) == 0)
        shift -= 8;
    for (; shift >= 0 && ((v >> shift) & 0xFF) != 0; shift -= 8)
        *p++ = static_cast<char>((v >> shift) & 0xFF);
    *p = '\0';

    p = m_szIP;
    for (shift = 24; shift >= 0; shift -= 8) {
        const Octet& octet = kOctets[(v >> shift) & 0xFF];
        // Four bytes at once: the count byte lands where the dot or the final NUL goes next.
        std::memcpy(p, octet.text, 4);
        p += octet.text[3];
        *p++ = '.';
    }
    p[-1] = '\0';
}

void CNumber::GroupBinary(const char* src, char* dst)
{
    // Zeros in front make the digit count a multiple of four; groups of eight are then counted
    // from the right, so the leftmost group holds four or eight digits.
    char out[72];  // built apart from dst, which may be src
    const std::size_t n = std::min<std::size_t>(std::strlen(src), 32);  // never more than 32 bits
    const std::size_t pad = (4 - n % 4) % 4;
    const std::size_t first = (n + pad) % 8 == 4 ? 4 : 8;
    std::memcpy(out, "000", pad);
    std::memcpy(out + pad, src, first - pad);
    std::size_t k = first;
    for (std::size_t i = first - pad; i < n; i += 8) {
        out[k] = ' ';
        std::memcpy(out + k + 1, src + i, 8);
        k += 9;
    }
    out[k] = '\0';
    std::memcpy(dst, out, k + 1);
}

uint32_t CNumber::ReadNumber(const char* text, int radix, const char** end)
{
    const char* p = text;
    while (IsWhite(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    if (radix == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
        p += 2;

    // Past 32 bits the digits are still consumed, so the caller sees where the number ends.
    uint64_t number = 0;
    const char* const digits = p;
    p = text::ReadDigits(p, static_cast<unsigned>(radix), 0x100000000u, number);
    if (p == digits) {
        *end = text;
        return 0;
    }
    *end = p;
    const uint32_t result = number > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(number);
    return negative ? 0u - result : result;
}

uint32_t CNumber::ReadPart(const char* text)
{
    while (IsWhite(*text))
        ++text;
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-')
        ++text;
    // Read exactly, sticking at 256: a wrapped total would turn the number typed into another address.
    uint64_t total = 0;
    text::ReadDigits(text, 10, 256, total);
    return negative ? 0u - static_cast<uint32_t>(total) : static_cast<uint32_t>(total);
}

char* CNumber::RemoveSpaces(char* text)
{
    char* out = text;
    for (const char* in = text; *in; ++in)
        if (*in != ' ')
            *out++ = *in;
    *out = '\0';
    return text;
}

uint32_t CNumber::TextToValue(const char* text)
{
    uint32_t value = 0;
    for (; *text; ++text)
        value = value << 8 | Byte(*text);
    return value;
}

int CNumber::ReadSpacedBinary(const char* text, uint32_t* value)
{
    auto skipSpaces = [](const char* p) {
        while (*p == ' ')
            ++p;
        return p;
    };
    const char* p = text;
    while (IsWhite(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        p = skipSpaces(p + 1);

    uint32_t number = 0;
    bool overflow = false;
    bool anyDigit = false;
    for (; *p == '0' || *p == '1'; p = skipSpaces(p + 1)) {
        anyDigit = true;
        if (number & 0x80000000u)
            overflow = true;
        else if (!overflow)
            number = number << 1 | static_cast<uint32_t>(*p - '0');
    }
    if (!anyDigit) {
        // Without digits only a text of nothing but spaces reads to its end.
        *value = 0;
        return *skipSpaces(text) == '\0';
    }
    if (*p != '\0')
        return 0;
    const uint32_t result = overflow ? 0xFFFFFFFFu : number;
    *value = negative ? 0u - result : result;
    return 1;
}

int CNumber::ParseDec(const char* text)
{
    const char* end;
    const uint32_t value = ReadNumber(text, 10, &end);
    if (*end != '\0')
        return 0;
    SetValue(value);
    return 1;
}

int CNumber::ParseHex(const char* text)
{
    const char* end;
    const uint32_t value = ReadNumber(text, 16, &end);
    if (*end != '\0')
        return 0;
    SetValue(value);
    return 1;
}

int CNumber::ParseText(const char* text)
{
    SetValue(TextToValue(text));
    return 1;
}

int CNumber::ParseBin(const char* text)
{
    // The spaces of the grouped rendering are taken out of a copy. A field text is short, so the
    // copy lives on the stack and cannot fail; a longer one is read in place instead.
    char copy[64];
    std::size_t n = 0;
    while (n < sizeof copy && (copy[n] = text[n]) != '\0')
        ++n;
    uint32_t value = 0;
    if (n < sizeof copy) {
        const char* end;
        value = ReadNumber(RemoveSpaces(copy), 2, &end);
        if (*end != '\0')
            return 0;
    } else if (!ReadSpacedBinary(text, &value)) {
        return 0;
    }
    SetValue(value);
    return 1;
}

int CNumber::ParseIP(const char* text)
{
    // Each part starts after a "." or ","; the fourth is the whole rest of the text. The parts
    // are read in place: ReadPart stops at a separator as it would at the end of a cut-out copy.
    const char* parts[4] = {text};
    int found = 1;
    for (const char* p = text; found < 4 && *p; ++p)
        if (*p == '.' || *p == ',')
            parts[found++] = p + 1;
    if (found < 4)
        return 0;

    uint32_t value = 0;
    for (const char* part : parts) {
        const uint32_t number = ReadPart(part);
        if (number > 255)
            return 0;
        value = value << 8 | number;
    }
    SetValue(value);
    return 1;
}
