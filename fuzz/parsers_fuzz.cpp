// Arbitrary bytes into the field parsers. The first byte picks the parser, the width and the
// signed flag, the next four the value the record starts from; the rest, up to its first NUL,
// is the field text. Any broken rule aborts.
#include "engine/number.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool ok)
{
    if (!ok)
        std::abort();
}

bool Same(const CNumber& a, const CNumber& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

uint32_t Narrow(uint32_t v, int width) { return width == 4 ? v : v & ((1u << 8 * width) - 1); }

// From its first nonzero byte on, the value has no zero byte: its Text spells all of it.
bool TextRoundTrips(uint32_t v)
{
    while (v > 0xFF && (v >> 24) == 0)
        v <<= 8;
    for (; v & 0xFF; v >>= 8) {}
    return v == 0;
}

bool IsWhite(char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

// The IP rule read the long way: cut a copy at the first three separators, then take each part's
// digits as text, so that the range test does not share the engine's arithmetic.
int ReferenceIP(const std::string& text, uint32_t* value)
{
    std::string parts[4];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t sep = text.find_first_of(".,", start);
        if (sep == std::string::npos)
            return 0;
        parts[i] = text.substr(start, sep - start);
        start = sep + 1;
    }
    parts[3] = text.substr(start);

    uint32_t result = 0;
    for (const std::string& part : parts) {
        std::size_t i = 0;
        while (i < part.size() && IsWhite(part[i]))
            ++i;
        const bool negative = i < part.size() && part[i] == '-';
        if (i < part.size() && (part[i] == '+' || part[i] == '-'))
            ++i;
        std::size_t end = i;
        while (end < part.size() && part[end] >= '0' && part[end] <= '9')
            ++end;
        std::string digits = part.substr(i, end - i);
        digits.erase(0, digits.find_first_not_of('0'));
        if (digits.size() > 3)
            return 0;
        uint32_t number = 0;
        for (char c : digits)
            number = number * 10 + uint32_t(c - '0');
        if (number > 255 || (negative && number != 0))
            return 0;
        result = result << 8 | number;
    }
    *value = result;
    return 1;
}

// The record holds what a fresh one with the same value, width and flag holds, and each
// rendering reads back to the value as the width shows it.
void CheckConsistent(const CNumber& n, int width, int isSigned)
{
    CNumber fresh(n.GetValue());
    fresh.SetSize(width);
    fresh.SetSigned(isSigned);
    Require(!std::strcmp(n.GetDec(), fresh.GetDec()) && !std::strcmp(n.GetHex(), fresh.GetHex()) &&
            !std::strcmp(n.GetText(), fresh.GetText()) && !std::strcmp(n.GetIP(), fresh.GetIP()) &&
            !std::strcmp(n.GetBin(), fresh.GetBin()));

    const uint32_t narrow = Narrow(n.GetValue(), width);
    CNumber back = n;
    Require(back.ParseDec(n.GetDec()) && Narrow(back.GetValue(), width) == narrow &&
            (isSigned || back.GetValue() == narrow));
    Require(back.ParseHex(n.GetHex()) && back.GetValue() == narrow);
    Require(back.ParseBin(n.GetBin()) && back.GetValue() == narrow);
    Require(back.ParseIP(n.GetIP()) && back.GetValue() == narrow);
    if (TextRoundTrips(narrow))
        Require(back.ParseText(n.GetText()) && back.GetValue() == narrow);
}

constexpr CNumber::Parser kParsers[] = {&CNumber::ParseDec, &CNumber::ParseHex,
                                        &CNumber::ParseText, &CNumber::ParseIP,
                                        &CNumber::ParseBin};
constexpr int kIP = 3, kBin = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 5)
        return 0;
    const int parser = data[0] % 5;
    const int width = (data[0] / 5) % 3 == 0 ? 1 : (data[0] / 5) % 3 == 1 ? 2 : 4;
    const int isSigned = data[0] / 15 % 2;
    const uint32_t start = uint32_t(data[1]) << 24 | uint32_t(data[2]) << 16 |
                           uint32_t(data[3]) << 8 | data[4];
    const std::string text(reinterpret_cast<const char*>(data + 5), size - 5);

    CNumber n(start);
    n.SetSize(width);
    n.SetSigned(isSigned);
    const CNumber before = n;
    const int result = (n.*kParsers[parser])(text.c_str());
    Require(result == 0 || result == 1);
    if (result)
        CheckConsistent(n, width, isSigned);
    else
        Require(Same(n, before));

    // Texts too long for ParseBin's stack copy are read in place; leading spaces are removed
    // either way, so both roads must end alike.
    if (parser == kBin) {
        CNumber padded = before;
        const std::string longer = std::string(64, ' ') + text.c_str();
        Require(padded.ParseBin(longer.c_str()) == result && Same(padded, n));
    }
    if (parser == kIP) {
        uint32_t expected = 0;
        Require(ReferenceIP(text.c_str(), &expected) == result &&
                (!result || expected == n.GetValue()));
    }
    return 0;
}
