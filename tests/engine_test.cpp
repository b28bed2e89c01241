#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "engine/number.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

struct CNumberProbe
{
    static void GroupBinary(const char* src, char* dst) { CNumber::GroupBinary(src, dst); }
    static uint32_t ReadNumber(const char* text, int radix, const char** end)
    {
        return CNumber::ReadNumber(text, radix, end);
    }
    static char* RemoveSpaces(char* text) { return CNumber::RemoveSpaces(text); }

    // The record keeps its fields in this order and at these sizes, with no padding.
    static_assert(std::is_standard_layout_v<CNumber> && std::is_trivially_copyable_v<CNumber>);
    static_assert(offsetof(CNumber, m_szDec) == 4 && offsetof(CNumber, m_szHex) == 20);
    static_assert(offsetof(CNumber, m_szText) == 29 && offsetof(CNumber, m_szIP) == 34);
    static_assert(offsetof(CNumber, m_szBin) == 50 && offsetof(CNumber, m_bSigned) == 92);
    static_assert(offsetof(CNumber, m_nSize) == 96 && sizeof(CNumber) == 100);
};

namespace {

CNumber Make(uint32_t value, int width, int isSigned)
{
    CNumber n(value);
    n.SetSize(width);
    n.SetSigned(isSigned);
    return n;
}

bool Same(const CNumber& a, const CNumber& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameRenderings(const CNumber& a, const CNumber& b)
{
    return !std::strcmp(a.GetDec(), b.GetDec()) && !std::strcmp(a.GetHex(), b.GetHex()) &&
           !std::strcmp(a.GetText(), b.GetText()) && !std::strcmp(a.GetIP(), b.GetIP()) &&
           !std::strcmp(a.GetBin(), b.GetBin());
}

uint32_t Narrow(uint32_t v, int width) { return width == 4 ? v : v & ((1u << 8 * width) - 1); }

// Widths and signed flags are listed as digit strings: "21" is widths 2 and 1.
struct Rendering
{
    uint32_t value;
    const char* widths;
    const char* signs;
    const char *dec, *hex, *text, *ip, *bin;
};

const Rendering kRenderings[] = {
    {0x41424344, "4", "01", "1094861636", "41424344", "ABCD", "65.66.67.68",
     "01000001 01000010 01000011 01000100"},
    {0x41424344, "2", "01", "17220", "4344", "CD", "0.0.67.68", "01000011 01000100"},
    {0x41424344, "1", "01", "68", "44", "D", "0.0.0.68", "01000100"},
    {0xFFFFFFFF, "4", "0", "4294967295", "FFFFFFFF", "\xFF\xFF\xFF\xFF", "255.255.255.255",
     "11111111 11111111 11111111 11111111"},
    {0xFFFFFFFF, "4", "1", "-1", "FFFFFFFF", "\xFF\xFF\xFF\xFF", "255.255.255.255",
     "11111111 11111111 11111111 11111111"},
    {0xFFFFFFFF, "2", "0", "65535", "FFFF", "\xFF\xFF", "0.0.255.255", "11111111 11111111"},
    {0xFFFFFFFF, "2", "1", "-1", "FFFF", "\xFF\xFF", "0.0.255.255", "11111111 11111111"},
    {0xFFFFFFFF, "1", "0", "255", "FF", "\xFF", "0.0.0.255", "11111111"},
    {0xFFFFFFFF, "1", "1", "-1", "FF", "\xFF", "0.0.0.255", "11111111"},
    {0x1234ABCD, "2", "1", "-21555", "ABCD", "\xAB\xCD", "0.0.171.205", "10101011 11001101"},
    {0x1234ABCD, "1", "1", "-51", "CD", "\xCD", "0.0.0.205", "11001101"},
    {0x80000000, "4", "1", "-2147483648", "80000000", "\x80", "128.0.0.0",
     "10000000 00000000 00000000 00000000"},
    {0x80000000, "21", "01", "0", "0", "", "0.0.0.0", "0000"},
    {0x00000100, "42", "01", "256", "100", "\x01", "0.0.1.0", "0001 00000000"},
    {0x0000012C, "1", "01", "44", "2C", ",", "0.0.0.44", "00101100"},
    {0, "421", "01", "0", "0", "", "0.0.0.0", "0000"},
    {0x00410042, "4", "0", "4259906", "410042", "A", "0.65.0.66", "01000001 00000000 01000010"},
    {0x41000000, "4", "0", "1090519040", "41000000", "A", "65.0.0.0",
     "01000001 00000000 00000000 00000000"},
    {0x12345678, "1", "01", "120", "78", "x", "0.0.0.120", "01111000"},
    {0xFF80, "2", "1", "-128", "FF80", "\xFF\x80", "0.0.255.128", "11111111 10000000"},
    // Bin grouping: groups of eight from the right, the leftmost filled to four or eight digits.
    {5, "4", "0", "5", "5", "\x05", "0.0.0.5", "0101"},
    {0x10, "4", "0", "16", "10", "\x10", "0.0.0.16", "00010000"},
    {0xFFF, "4", "0", "4095", "FFF", "\x0F\xFF", "0.0.15.255", "1111 11111111"},
    {0x1000, "4", "0", "4096", "1000", "\x10", "0.0.16.0", "00010000 00000000"},
    {0x10000, "4", "0", "65536", "10000", "\x01", "0.1.0.0", "0001 00000000 00000000"},
};

struct ParseCase
{
    CNumber::Parser parse;
    const char* text;
    int accepted;
    uint32_t value;
};

constexpr CNumber::Parser Dec = &CNumber::ParseDec, Hex = &CNumber::ParseHex,
                          Bin = &CNumber::ParseBin, Text = &CNumber::ParseText,
                          IP = &CNumber::ParseIP;

const std::string kOnes33(33, '1');

const ParseCase kParseCases[] = {
    {Dec, "", 1, 0}, {Dec, "007", 1, 7}, {Dec, " 42", 1, 42}, {Dec, "\t5", 1, 5},
    {Dec, "\t\n\v\f\r 9", 1, 9}, {Dec, "\xA0" "9", 0, 0}, {Dec, "42 ", 0, 0}, {Dec, "1 000", 0, 0},
    {Dec, "+7", 1, 7}, {Dec, "-1", 1, 0xFFFFFFFF}, {Dec, "-0", 1, 0},
    {Dec, "4294967295", 1, 0xFFFFFFFF}, {Dec, "4294967296", 1, 0xFFFFFFFF},
    {Dec, "99999999999", 1, 0xFFFFFFFF}, {Dec, "-2147483648", 1, 0x80000000},
    {Dec, "-2147483649", 1, 0x7FFFFFFF}, {Dec, "-4294967295", 1, 1}, {Dec, "-4294967296", 1, 1},
    {Dec, "300", 1, 300}, {Dec, "-", 0, 0}, {Dec, "+", 0, 0}, {Dec, " ", 0, 0},
    {Dec, "12a", 0, 0}, {Dec, "0x10", 0, 0}, {Dec, "+-1", 0, 0},

    {Hex, "ff", 1, 0xFF}, {Hex, "FF", 1, 0xFF}, {Hex, "0x1F", 1, 0x1F}, {Hex, "0X1f", 1, 0x1F},
    {Hex, " 0x10", 1, 0x10}, {Hex, "+0x10", 1, 0x10}, {Hex, "-1", 1, 0xFFFFFFFF},
    {Hex, "-0x1", 1, 0xFFFFFFFF}, {Hex, "-FF", 1, 0xFFFFFF01}, {Hex, "abcdef", 1, 0xABCDEF},
    {Hex, "FFFFFFFF", 1, 0xFFFFFFFF}, {Hex, "100000000", 1, 0xFFFFFFFF}, {Hex, "", 1, 0},
    {Hex, "0x", 0, 0}, {Hex, "x1", 0, 0}, {Hex, "1G", 0, 0}, {Hex, "0x-1", 0, 0},
    {Hex, "00x1", 0, 0},

    {Bin, "0001 00000000", 1, 0x100}, {Bin, "1 1", 1, 3}, {Bin, " 1", 1, 1}, {Bin, "", 1, 0},
    {Bin, "    ", 1, 0}, {Bin, "+101", 1, 5}, {Bin, "-1", 1, 0xFFFFFFFF}, {Bin, "- 1", 1, 0xFFFFFFFF},
    {Bin, " \t 1", 1, 1}, {Bin, kOnes33.c_str(), 1, 0xFFFFFFFF},
    {Bin, "10000000 00000000 00000000 00000001", 1, 0x80000001},
    {Bin, "1 00000000 00000000 00000000 00000000", 1, 0xFFFFFFFF}, {Bin, "102", 0, 0},
    {Bin, "0b1", 0, 0}, {Bin, "1\t0", 0, 0}, {Bin, "1\t", 0, 0}, {Bin, "\t", 0, 0},
    {Bin, " - ", 0, 0}, {Bin, "+ +1", 0, 0},

    {Text, "", 1, 0}, {Text, "A", 1, 0x41}, {Text, "AB", 1, 0x4142}, {Text, "ABCD", 1, 0x41424344},
    {Text, "ABCDE", 1, 0x42434445}, {Text, "\xFF\x80", 1, 0xFF80},

    {IP, "1.2.3.4", 1, 0x01020304}, {IP, "1,2,3,4", 1, 0x01020304}, {IP, "+1.+2.3.4", 1, 0x01020304},
    {IP, " 1. 2.3.4", 1, 0x01020304}, {IP, "1.2.3.4x", 1, 0x01020304},
    {IP, "1.2.3.4.5", 1, 0x01020304}, {IP, "1..2.3", 1, 0x01000203}, {IP, "1.2.3.", 1, 0x01020300},
    {IP, "a.b.c.d", 1, 0}, {IP, "....", 1, 0}, {IP, "0x10.0.0.1", 1, 1},
    {IP, "255.255.255.255", 1, 0xFFFFFFFF}, {IP, "-0.0.0.0", 1, 0}, {IP, "1.2.3.-0", 1, 0x01020300},
    {IP, "-.+.1.2", 1, 0x0102}, {IP, "0000000000000000000001.0.0.0", 1, 0x01000000},
    {IP, "-1.0.0.0", 0, 0}, {IP, "256.0.0.0", 0, 0}, {IP, "1.2.3.256", 0, 0},
    {IP, "4294967296.1.2.3", 0, 0}, {IP, "-4294967295.0.0.0", 0, 0}, {IP, "1.2.3.4294967297", 0, 0},
    {IP, "99999999999999999999.0.0.0", 0, 0}, {IP, "1.2.3", 0, 0}, {IP, "", 0, 0},
};

// Inserts `gap` spaces before and after every character: ParseBin removes them all, and the
// result is long enough to take the in-place path.
std::string Spread(const char* text, std::size_t gap)
{
    std::string out(gap, ' ');
    for (; *text; ++text)
        out += *text + std::string(gap, ' ');
    return out;
}

// Runs each case from a record at width 1, signed, so that a parser that narrowed the value or
// a rejection that touched the record would show.
void CheckParse(CNumber::Parser parse, const char* text, int accepted, uint32_t value)
{
    CNumber n = Make(0xDEADBEEF, 1, 1);
    const CNumber before = n;
    CHECK((n.*parse)(text) == accepted);
    if (accepted) {
        CHECK(n.GetValue() == value);
        CHECK(SameRenderings(n, Make(value, 1, 1)));
    } else
        CHECK(Same(n, before));
}

uint32_t Next(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// From its first nonzero byte on, the value has no zero byte: its Text spells all of it.
bool TextRoundTrips(uint32_t v)
{
    while (v > 0xFF && (v >> 24) == 0)
        v <<= 8;
    for (; v & 0xFF; v >>= 8) {}
    return v == 0;
}

}  // namespace

TEST_CASE("renderings of the worked values")
{
    for (const Rendering& r : kRenderings)
        for (const char* w = r.widths; *w; ++w)
            for (const char* s = r.signs; *s; ++s) {
                CAPTURE(r.value);
                CAPTURE(*w);
                CAPTURE(*s);
                const CNumber n = Make(r.value, *w - '0', *s - '0');
                CHECK(std::string(n.GetDec()) == r.dec);
                CHECK(std::string(n.GetHex()) == r.hex);
                CHECK(std::string(n.GetText()) == r.text);
                CHECK(std::string(n.GetIP()) == r.ip);
                CHECK(std::string(n.GetBin()) == r.bin);
                CHECK(n.GetValue() == r.value);
            }
}

TEST_CASE("width and signed flag only change how the value is shown")
{
    CNumber n(0x12345678);
    n.SetSize(1);
    CHECK(std::string(n.GetDec()) == "120");
    CHECK(n.GetValue() == 0x12345678);
    for (int bad : {3, 0, 8, -1}) {
        const CNumber before = n;
        n.SetSize(bad);
        CHECK(Same(n, before));
    }
    n.SetSize(4);
    CHECK(std::string(n.GetHex()) == "12345678");

    n.SetValue(0xFFFFFFFF);
    n.SetSigned(2);
    CHECK(std::string(n.GetDec()) == "-1");
    n.SetSize(1);
    n.ParseDec("300");  // stored whole, shown narrowed
    CHECK(std::string(n.GetDec()) == "44");
    n.SetSize(4);
    CHECK(std::string(n.GetDec()) == "300");
}

TEST_CASE("parsers accept and reject as the field rules say")
{
    for (const ParseCase& c : kParseCases) {
        CAPTURE(c.text);
        CheckParse(c.parse, c.text, c.accepted, c.value);
        if (c.parse == Bin)
            CheckParse(c.parse, Spread(c.text, 70).c_str(), c.accepted, c.value);
    }
}

TEST_CASE("long field texts")
{
    const std::string spaces(100000, ' '), zeros(100000, '0'), ones(100000, '1');
    const struct { CNumber::Parser parse; std::string text; int accepted; uint32_t value; } cases[] = {
        {Bin, spaces + "1", 1, 1}, {Bin, spaces, 1, 0}, {Bin, spaces + "\t1", 1, 1},
        {Bin, spaces + "2", 0, 0}, {Bin, "1" + spaces + "\t", 0, 0}, {Bin, zeros + "1", 1, 1},
        {Bin, "1" + spaces, 1, 1}, {Bin, ones, 1, 0xFFFFFFFF}, {Bin, "-" + spaces + "1", 1, 0xFFFFFFFF},
        {IP, spaces + "1.2.3.4", 1, 0x01020304}, {IP, "1.2.3.4" + std::string(100000, 'x'), 1, 0x01020304},
        {IP, "1.2.3." + zeros + "7", 1, 0x01020307}, {IP, "1.2.3." + std::string(100000, '9'), 0, 0},
        {IP, std::string(100000, 'x'), 0, 0}, {Dec, zeros + "5", 1, 5}, {Dec, spaces + "5", 1, 5},
        {Hex, "0x" + zeros + "A", 1, 10}, {Text, spaces + "ABCD", 1, 0x41424344},
    };
    for (const auto& c : cases) {
        CAPTURE(c.text.substr(c.text.size() - 8));
        CheckParse(c.parse, c.text.c_str(), c.accepted, c.value);
    }
}

TEST_CASE("internal helpers")
{
    char digits[72] = "100000000";
    CNumberProbe::GroupBinary(digits, digits);  // the destination may be the source
    CHECK(std::string(digits) == "0001 00000000");

    char spaced[] = " 1 \t0 ";
    CHECK(std::string(CNumberProbe::RemoveSpaces(spaced)) == "1\t0");

    // Where reading ends; without digits it is the very start of the text.
    const struct { const char* text; int radix; uint32_t value; std::ptrdiff_t end; } reads[] = {
        {"12a", 10, 12, 2}, {" -0x1G", 16, 0xFFFFFFFF, 5}, {" 0x", 16, 0, 0}, {"+", 10, 0, 0},
        {"99999999999 ", 10, 0xFFFFFFFF, 11}, {"102", 2, 2, 2}, {"z", 16, 0, 0},
    };
    for (const auto& r : reads) {
        CAPTURE(r.text);
        const char* end = nullptr;
        CHECK(CNumberProbe::ReadNumber(r.text, r.radix, &end) == r.value);
        CHECK(end - r.text == r.end);
    }
}

TEST_CASE("properties over random values at every width and signedness")
{
    uint32_t state = 0x9E3779B9;
    int failures = 0;
    auto expect = [&](bool ok, const char* what, uint32_t v, int w, int s) {
        if (!ok && failures++ < 5)
            FAIL_CHECK(what << " fails for value " << v << " width " << w << " signed " << s);
    };
    const int kLimits[] = {11, 8, 4, 15, 35};
    for (int w : {1, 2, 4})
        for (int s : {0, 1})
            for (int i = 0; i < 50000; ++i) {
                const uint32_t v = Next(state), narrow = Narrow(v, w);
                const CNumber n = Make(v, w, s);
                const char* texts[] = {n.GetDec(), n.GetHex(), n.GetText(), n.GetIP(), n.GetBin()};
                const std::size_t sizes[] = {16, 9, 5, 16, 42};
                for (int f = 0; f < 5; ++f) {
                    const void* nul = std::memchr(texts[f], 0, sizes[f]);
                    expect(nul && static_cast<const char*>(nul) - texts[f] <= kLimits[f],
                           "rendering length", v, w, s);
                }

                CNumber back = n;
                expect(back.ParseDec(n.GetDec()) && Narrow(back.GetValue(), w) == narrow &&
                           (s || back.GetValue() == narrow), "Dec read-back", v, w, s);
                expect(back.ParseHex(n.GetHex()) && back.GetValue() == narrow, "Hex read-back", v, w, s);
                expect(back.ParseBin(n.GetBin()) && back.GetValue() == narrow, "Bin read-back", v, w, s);
                expect(back.ParseIP(n.GetIP()) && back.GetValue() == narrow, "IP read-back", v, w, s);
                if (TextRoundTrips(narrow))
                    expect(back.ParseText(n.GetText()) && back.GetValue() == narrow,
                           "Text read-back", v, w, s);

                // Texts one character away from a rendering that the field refuses.
                char bad[48];
                CNumber same = n;
                std::strcat(std::strcpy(bad, n.GetDec()), " ");
                expect(!same.ParseDec(bad) && Same(same, n), "Dec rejection", v, w, s);
                std::strcat(std::strcpy(bad, n.GetHex()), "G");
                expect(!same.ParseHex(bad) && Same(same, n), "Hex rejection", v, w, s);
                std::strcat(std::strcpy(bad, n.GetBin()), "2");
                expect(!same.ParseBin(bad) && Same(same, n), "Bin rejection", v, w, s);
                std::strcpy(bad, n.GetIP());
                *std::strrchr(bad, '.') = ':';
                expect(!same.ParseIP(bad) && Same(same, n), "IP rejection", v, w, s);
            }
    CHECK(failures == 0);
}
