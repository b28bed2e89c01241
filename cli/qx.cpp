// qx: the converter's value in a terminal. Every value is read by one of the engine's field
// parsers and printed from the engine's renderings; what is done here is choosing the field,
// the Text field's code page, and escaping, so that each output line stays whole and printable.
//
// Output is built in one buffer and written in large blocks (value by value on a terminal);
// nothing is allocated per value, and nothing here needs static initialisation at start.
#include "cli/qx.h"

#include "cli/console.h"
#include "cli/cp1252.h"
#include "engine/number.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>

#ifndef QX_VERSION
#define QX_VERSION "unknown"
#endif

namespace {

enum Field { kAuto = -1, kDec, kHex, kText, kIP, kBin };

struct FieldRule
{
    const char* name;
    CNumber::Parser parse;
};

constexpr FieldRule kFields[] = {{"Dec", &CNumber::ParseDec},
                                 {"Hex", &CNumber::ParseHex},
                                 {"Text", &CNumber::ParseText},
                                 {"IP", &CNumber::ParseIP},
                                 {"Bin", &CNumber::ParseBin}};

// What each value prints: the window's block, a JSON object, or one rendering.
enum Layout { kBlock, kJson, kOnlyDec, kOnlyHex, kOnlyText, kOnlyIP, kOnlyBin, kOnlyColor };

constexpr const char* kLayoutNames[] = {"dec", "hex", "text", "ip", "bin", "color"};

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The engine's white space: the plain ASCII six, whatever the locale.
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One byte of Text as it is written out.
struct Glyph
{
    char text[7];
    unsigned char length;
};

// For the terminal: control characters, the code page's five unassigned bytes among them, as
// \xHH and the backslash doubled, so every line stays printable and reads only one way.
constexpr std::array<Glyph, 256> kShownGlyphs = [] {
    std::array<Glyph, 256> t{};
    for (int b = 0; b < 256; ++b) {
        Glyph& g = t[b];
        const uint32_t cp = cp1252::CodePoint(static_cast<unsigned char>(b));
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
            g = {{'\\', 'x', kHexDigits[b >> 4], kHexDigits[b & 15]}, 4};
        } else if (b == '\\') {
            g = {{'\\', '\\'}, 2};
        } else {
            g.length = static_cast<unsigned char>(cp1252::EncodeUtf8(g.text, cp) - g.text);
        }
    }
    return t;
}();

// Inside a JSON string: escaped as JSON requires, every other character as itself.
constexpr std::array<Glyph, 256> kJsonGlyphs = [] {
    std::array<Glyph, 256> t{};
    for (int b = 0; b < 256; ++b) {
        Glyph& g = t[b];
        const char* shortForm = b == '"' ? "\\\"" : b == '\\' ? "\\\\" : b == '\b' ? "\\b"
                              : b == '\f' ? "\\f" : b == '\n' ? "\\n" : b == '\r' ? "\\r"
                              : b == '\t' ? "\\t" : nullptr;
        if (shortForm) {
            g = {{shortForm[0], shortForm[1]}, 2};
        } else if (b < 0x20) {
            g = {{'\\', 'u', '0', '0', kHexDigits[b >> 4], kHexDigits[b & 15]}, 6};
        } else {
            const uint32_t cp = cp1252::CodePoint(static_cast<unsigned char>(b));
            g.length = static_cast<unsigned char>(cp1252::EncodeUtf8(g.text, cp) - g.text);
        }
    }
    return t;
}();

char* Copy(char* p, const char* s)
{
    const std::size_t n = std::strlen(s);
    std::memcpy(p, s, n);
    return p + n;
}

// A literal: its length is known, so the copy is a few moves.
template <std::size_t N>
char* Copy(char* p, const char (&s)[N])
{
    std::memcpy(p, s, N - 1);
    return p + N - 1;
}

char* PutGlyph(char* p, const Glyph& g)
{
    std::memcpy(p, g.text, sizeof g.text);
    return p + g.length;
}

char* EscapeByte(char* p, unsigned char c)
{
    const char text[4] = {'\\', 'x', kHexDigits[c >> 4], kHexDigits[c & 15]};
    std::memcpy(p, text, 4);
    return p + 4;
}

// A text from the user inside a message: its first kEchoLimit bytes, "..." when there is more,
// escaped like Text, with its C1 controls and the bytes that are not UTF-8 as \xHH.
constexpr std::size_t kEchoLimit = 64;
constexpr std::size_t kEchoMax = (kEchoLimit + 4) * 4 + 16;

char* Echo(char* p, const char* s, std::size_t length, bool cut)
{
    const char* const end = s + length;
    const char* const stop = s + (length < kEchoLimit ? length : kEchoLimit);
    while (s < stop) {
        uint32_t cp = 0;
        const int n = cp1252::DecodeUtf8(s, end, &cp);
        if (n == 1) {
            p = *s == '"' ? Copy(p, "\\\"") : PutGlyph(p, kShownGlyphs[static_cast<unsigned char>(*s)]);
            ++s;
        } else if (n == 0 || cp < 0xA0) {
            for (const char* e = s + (n ? n : 1); s < e; ++s)
                p = EscapeByte(p, static_cast<unsigned char>(*s));
        } else {
            std::memcpy(p, s, static_cast<std::size_t>(n));
            p += n;
            s += n;
        }
    }
    if (cut || s < end)
        p = Copy(p, "...");
    return p;
}


// Standard output through one buffer: a value reserves room for all it writes at once.
class Output
{
public:
    char* Reserve(std::size_t size)
    {
        if (sizeof m_buffer - m_used < size)
            Flush();
        return m_buffer + m_used;
    }
    void Commit(char* end) { m_used = static_cast<std::size_t>(end - m_buffer); }

    void Put(const char* s, std::size_t n)
    {
        while (n > 0) {
            char* p = Reserve(1);
            const std::size_t room = sizeof m_buffer - m_used;
            const std::size_t k = n < room ? n : room;
            std::memcpy(p, s, k);
            Commit(p + k);
            s += k;
            n -= k;
        }
    }

    // A JSON string of a UTF-8 text; bytes that are not UTF-8 become U+FFFD.
    void PutJson(const char* s, std::size_t length)
    {
        const char* const end = s + length;
        Put("\"", 1);
        while (s < end) {
            char* p = Reserve(kChunk + 16);
            char* const stop = p + kChunk;
            while (s < end && p < stop) {
                const unsigned char c = static_cast<unsigned char>(*s);
                if (c < 0x80) {
                    p = PutGlyph(p, kJsonGlyphs[c]);
                    ++s;
                    continue;
                }
                uint32_t cp = 0;
                const int n = cp1252::DecodeUtf8(s, end, &cp);
                if (n) {
                    std::memcpy(p, s, static_cast<std::size_t>(n));
                    p += n;
                    s += n;
                } else {
                    p = Copy(p, "\xEF\xBF\xBD");
                    ++s;
                }
            }
            Commit(p);
        }
        Put("\"", 1);
    }

    void Flush()
    {
        if (m_used && !m_failed)
            m_failed = !console::Write(console::Out, m_buffer, m_used);
        m_used = 0;
    }
    bool Ok() const { return !m_failed; }

private:
    static constexpr std::size_t kChunk = 1024;
    // Zero as the program starts: no initialiser runs for it.
    char m_buffer[1 << 20];
    std::size_t m_used;
    bool m_failed;
};

Output g_out;

// One line on standard error, written at once: "qx: " and the parts, cut to the line's room.
void WriteError(std::initializer_list<std::string_view> parts)
{
    char line[1024] = "qx: ";
    std::size_t n = 4;
    for (std::string_view part : parts) {
        const std::size_t k = std::min(part.size(), sizeof line - 1 - n);
        std::memcpy(line + n, part.data(), k);
        n += k;
    }
    line[n++] = '\n';
    console::Write(console::Err, line, n);
}

// Standard input, read in large blocks and cut into lines in place. The buffer bounds a line:
// a longer one is refused, not split.
constexpr std::size_t kLineLimit = 1 << 20;
char g_input[kLineLimit + 1];

// A value from the command line or one line of input, and what becomes of it.
class Converter
{
public:
    Converter(int width, int isSigned, Layout layout)
        : m_layout(layout), m_lineByLine(console::IsTerminal(console::Out))
    {
        m_number.SetSigned(isSigned);
        m_number.SetSize(width);
        const char* noColor = std::getenv("NO_COLOR");
        m_swatch = layout == kBlock && m_lineByLine && !(noColor && *noColor) && console::EnableColor();
    }

    // text[length] is NUL; the text itself may hold another NUL only when it came from input.
    void Convert(char* text, std::size_t length, Field field, bool cut = false)
    {
        if (field == kAuto)
            field = FieldOfForm(text);
        if (cut || std::memchr(text, '\0', length) || !Read(text, length, field))
            Refuse(text, length, field, cut);
        else
            Print(text, length);
        if (m_lineByLine)
            g_out.Flush();
    }

    // Every line of standard input that is not blank, as a value of the field.
    void ConvertInput(Field field)
    {
        std::size_t start = 0, end = 0;
        bool atEnd = false, skipping = false;
        while (g_out.Ok()) {
            char* const newline = static_cast<char*>(std::memchr(g_input + start, '\n', end - start));
            if (newline || (atEnd && start < end)) {
                char* const line = g_input + start;
                std::size_t length = static_cast<std::size_t>((newline ? newline : g_input + end) - line);
                start = newline ? start + length + 1 : end;
                if (skipping) {
                    skipping = false;
                    continue;
                }
                if (length > 0 && line[length - 1] == '\r')
                    --length;
                line[length] = '\0';
                if (!IsBlank(line, length))
                    Convert(line, length, field);
                continue;
            }
            if (atEnd)
                break;
            if (start > 0) {
                std::memmove(g_input, g_input + start, end - start);
                end -= start;
                start = 0;
            }
            if (end == kLineLimit) {
                // The beginning is enough to say which value could not be read.
                if (!skipping) {
                    g_input[kEchoLimit] = '\0';
                    Convert(g_input, kEchoLimit, field, true);
                }
                skipping = true;
                end = 0;
            }
            const long n = console::Read(g_input + end, kLineLimit - end);
            if (n < 0) {
                g_out.Flush();
                WriteError({"cannot read standard input: ", console::LastError()});
                m_status = 1;
                break;
            }
            atEnd = n == 0;
            end += static_cast<std::size_t>(n);
        }
    }

    int Finish()
    {
        g_out.Flush();
        if (!g_out.Ok()) {
            WriteError({"cannot write the output: ", console::LastError()});
            m_status = 1;
        }
        return m_status;
    }

    bool Ok() const { return g_out.Ok(); }

private:
    static bool IsBlank(const char* s, std::size_t length)
    {
        for (std::size_t i = 0; i < length; ++i)
            if (!IsWhite(s[i]))
                return false;
        return true;
    }

    // Without a field option the form decides. The Bin field takes no 0b prefix, so its reading
    // starts after it, with a sign in front moved up to the digits (put back after reading).
    Field FieldOfForm(char* text)
    {
        char* p = text;
        while (IsWhite(*p))
            ++p;
        char* q = p + (*p == '+' || *p == '-');
        if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
            return kHex;
        if (q[0] == '0' && (q[1] == 'b' || q[1] == 'B')) {
            m_binDigits = q + 2;
            m_binStart = q + 2;
            if (q != p) {
                m_binStart = q + 1;
                m_savedPrefix = q[1];
                q[1] = *p;
            }
            return kBin;
        }
        int dots = 0;
        for (const char* s = text; *s; ++s)
            dots += *s == '.';
        return dots >= 3 ? kIP : kDec;
    }

    bool Read(char* text, std::size_t length, Field field)
    {
        if (field == kText)
            return ReadText(text, length);
        if (!m_binStart)
            return (m_number.*kFields[field].parse)(text) != 0;

        // A prefix with nothing after it is no value, as "0x" is none for Hex.
        const char* digits = m_binDigits;
        while (*digits == ' ')
            ++digits;
        const bool read = *digits && m_number.ParseBin(m_binStart);
        if (m_binStart != m_binDigits)
            m_binStart[0] = m_savedPrefix;
        m_binStart = m_binDigits = nullptr;
        return read;
    }

    // UTF-8 in, each character its Windows-1252 byte; one without a byte refuses the value.
    // Only the last four bytes count, as the Text field reads them.
    bool ReadText(const char* text, std::size_t length)
    {
        char last[5] = {};
        std::size_t count = 0;
        for (const char *p = text, *end = text + length; p < end;) {
            uint32_t cp = 0;
            const int n = cp1252::DecodeUtf8(p, end, &cp);
            const int byte = n ? cp1252::Byte(cp) : -1;
            if (byte < 0)
                return false;
            if (count == 4) {
                std::memmove(last, last + 1, 3);
                count = 3;
            }
            last[count++] = static_cast<char>(byte);
            p += n;
        }
        return m_number.ParseText(last) != 0;
    }

    void Refuse(const char* text, std::size_t length, Field field, bool cut)
    {
        m_status = 1;
        // A Bin form refused before its reading (a NUL in the line, a cut line) gets its sign back.
        if (m_binStart) {
            if (m_binStart != m_binDigits)
                m_binStart[0] = m_savedPrefix;
            m_binStart = m_binDigits = nullptr;
        }
        char message[kEchoMax + 64];
        char* p = Copy(message, kFields[field].name);
        p = Copy(p, " cannot read \"");
        p = Echo(p, text, length, cut);
        *p++ = '"';
        const std::size_t size = static_cast<std::size_t>(p - message);
        if (m_layout == kJson) {
            g_out.Put("{\"input\": ", 10);
            if (cut) {
                char shown[kEchoLimit + 3];
                std::memcpy(shown, text, kEchoLimit);
                std::memcpy(shown + kEchoLimit, "...", 3);
                g_out.PutJson(shown, sizeof shown);
            } else {
                g_out.PutJson(text, length);
            }
            g_out.Put(", \"error\": ", 11);
            g_out.PutJson(message, size);
            g_out.Put("}\n", 2);
            return;
        }
        // On a terminal the values before it are already out, so the message comes in its turn.
        WriteError({std::string_view(message, size)});
    }

    void Print(const char* text, std::size_t length)
    {
        const uint32_t color = m_number.GetValue() & 0xFFFFFF;
        char* p;
        switch (m_layout) {
        case kBlock:
            p = g_out.Reserve(kBlockMax);
            if (m_printed++)
                *p++ = '\n';
            p = Line(p, "Dec   ", m_number.GetDec());
            p = Line(p, "Hex   ", m_number.GetHex());
            p = ShownText(Copy(p, "Text  "), m_number.GetText());
            *p++ = '\n';
            p = Line(p, "IP    ", m_number.GetIP());
            p = Line(p, "Bin   ", m_number.GetBin());
            p = Color(Copy(p, "Color "), color);
            if (m_swatch)
                p = Swatch(p, color);
            *p++ = '\n';
            break;
        case kJson:
            g_out.Put("{\"input\": ", 10);
            g_out.PutJson(text, length);
            p = g_out.Reserve(kBlockMax * 2);
            p = Member(p, ", \"dec\": \"", m_number.GetDec());
            p = Member(p, ", \"hex\": \"", m_number.GetHex());
            p = Copy(p, ", \"text\": \"");
            for (const char* t = m_number.GetText(); *t; ++t)
                p = PutGlyph(p, kJsonGlyphs[static_cast<unsigned char>(*t)]);
            p = Member(p, "\", \"ip\": \"", m_number.GetIP());
            p = Member(p, ", \"bin\": \"", m_number.GetBin());
            p = Color(Copy(p, ", \"color\": \""), color);
            p = Copy(p, "\"}\n");
            break;
        default:
            p = g_out.Reserve(kBlockMax);
            switch (m_layout) {
            case kOnlyDec: p = Copy(p, m_number.GetDec()); break;
            case kOnlyHex: p = Copy(p, m_number.GetHex()); break;
            case kOnlyText: p = ShownText(p, m_number.GetText()); break;
            case kOnlyIP: p = Copy(p, m_number.GetIP()); break;
            case kOnlyBin: p = Copy(p, m_number.GetBin()); break;
            default: p = Color(p, color); break;
            }
            *p++ = '\n';
            break;
        }
        g_out.Commit(p);
    }

    template <std::size_t N>
    static char* Line(char* p, const char (&label)[N], const char* rendering)
    {
        p = Copy(Copy(p, label), rendering);
        *p++ = '\n';
        return p;
    }

    // A JSON member whose value needs no escaping; the opening quote is in the key text.
    template <std::size_t N>
    static char* Member(char* p, const char (&key)[N], const char* rendering)
    {
        p = Copy(Copy(p, key), rendering);
        *p++ = '"';
        return p;
    }

    static char* ShownText(char* p, const char* text)
    {
        for (; *text; ++text)
            p = PutGlyph(p, kShownGlyphs[static_cast<unsigned char>(*text)]);
        return p;
    }

    // #RRGGBB: the low 24 bits of the whole value, as the swatch reads them.
    static char* Color(char* p, uint32_t color)
    {
        *p++ = '#';
        for (int shift = 20; shift >= 0; shift -= 4)
            *p++ = kHexDigits[color >> shift & 15];
        return p;
    }

    static char* Decimal(char* p, unsigned v)
    {
        if (v >= 100)
            *p++ = static_cast<char>('0' + v / 100);
        if (v >= 10)
            *p++ = static_cast<char>('0' + v / 10 % 10);
        *p++ = static_cast<char>('0' + v % 10);
        return p;
    }

    static char* Swatch(char* p, uint32_t color)
    {
        p = Copy(p, "  \x1b[48;2;");
        p = Decimal(p, color >> 16);
        *p++ = ';';
        p = Decimal(p, color >> 8 & 0xFF);
        *p++ = ';';
        p = Decimal(p, color & 0xFF);
        return Copy(p, "m      \x1b[0m");
    }

    // Longer than any one block: the renderings are short and a Text byte takes at most 6 characters.
    static constexpr std::size_t kBlockMax = 512;

    CNumber m_number;
    Layout m_layout;
    bool m_lineByLine;
    bool m_swatch = false;
    int m_status = 0;
    std::size_t m_printed = 0;
    char* m_binStart = nullptr;   // where the Bin form's reading starts, if it is one
    char* m_binDigits = nullptr;  // just after its prefix
    char m_savedPrefix = 0;       // the prefix letter the sign was moved onto
};


constexpr char kUsage[] = "Usage: qx [OPTION]... [VALUE]...\n";

constexpr char kHelp[] =
    "Usage: qx [OPTION]... [VALUE]...\n"
    "Show each 32-bit VALUE as Dec, Hex, Text, IP, Bin and its colour, as Quendrix shows it.\n"
    "With no VALUE, read the values from standard input, one per line.\n"
    "\n"
    "  -d, --dec  -x, --hex  -t, --text  -i, --ip  -b, --bin\n"
    "                      read the values after it by that field's rules; without one\n"
    "                      0x.. is Hex, 0b.. Bin, a.b.c.d IP and anything else Dec\n"
    "      --width 1|2|4   bytes shown (also --char, --word, --long); default 4\n"
    "      --signed, --unsigned\n"
    "                      Dec with or without a sign; default signed\n"
    "      --json          one JSON object per value\n"
    "      --field NAME    only dec, hex, text, ip, bin or color, one line per value\n"
    "      --help, --version\n"
    "\n"
    "Text is Windows-1252, converted to and from UTF-8. Exit status: 0 when every value was\n"
    "read, 1 when one was refused (or the output could not be written), 2 on a usage error.\n";

enum Kind { kFieldOption, kWidth, kWidthValue, kSign, kJsonOption, kFieldValue, kHelpOption, kVersion, kEnd };

struct Option
{
    const char* name;
    char letter;
    Kind kind;
    int value;
};

constexpr Option kOptions[] = {
    {"--dec", 'd', kFieldOption, kDec},    {"--hex", 'x', kFieldOption, kHex},
    {"--text", 't', kFieldOption, kText},  {"--ip", 'i', kFieldOption, kIP},
    {"--bin", 'b', kFieldOption, kBin},    {"--width", 0, kWidthValue, 0},
    {"--char", 0, kWidth, 1},              {"--word", 0, kWidth, 2},
    {"--long", 0, kWidth, 4},              {"--signed", 0, kSign, 1},
    {"--unsigned", 0, kSign, 0},           {"--json", 0, kJsonOption, 0},
    {"--field", 0, kFieldValue, 0},        {"--help", 0, kHelpOption, 0},
    {"--version", 0, kVersion, 0},         {"--", 0, kEnd, 0}};

// "-" and a digit is a negative value, not an option.
bool IsOption(const char* arg) { return arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9'); }

bool TakesValue(Kind kind) { return kind == kWidthValue || kind == kFieldValue; }

// The option an argument names, with its value when written --name=value.
const Option* FindOption(const char* arg, const char** inlineValue)
{
    *inlineValue = nullptr;
    for (const Option& o : kOptions) {
        if (arg[1] != '-') {
            if (o.letter && arg[1] == o.letter && arg[2] == '\0')
                return &o;
            continue;
        }
        const std::size_t n = std::strlen(o.name);
        if (std::strncmp(arg, o.name, n) != 0)
            continue;
        if (arg[n] == '\0')
            return &o;
        if (arg[n] == '=' && TakesValue(o.kind)) {
            *inlineValue = arg + n + 1;
            return &o;
        }
    }
    return nullptr;
}

int UsageError(const char* problem, const char* quoted = nullptr)
{
    char echo[kEchoMax];
    const char* const echoEnd = quoted ? Echo(echo, quoted, std::strlen(quoted), false) : echo;
    if (quoted)
        WriteError({problem, " '", std::string_view(echo, static_cast<std::size_t>(echoEnd - echo)), "'"});
    else
        WriteError({problem});
    static const char hint[] = "Try 'qx --help' for more information.\n";
    console::Write(console::Err, kUsage, sizeof kUsage - 1);
    console::Write(console::Err, hint, sizeof hint - 1);
    return 2;
}

int WriteOut(const char* text)
{
    return console::Write(console::Out, text, std::strlen(text)) ? 0 : 1;
}

}  // namespace

int RunQx(int argc, char** argv)
{
    // First every option, so that a usage error comes before any output; the field options
    // are positional and are taken in the second pass.
    int width = 4, isSigned = 1;
    Layout layout = kBlock;
    bool json = false, only = false;
    for (int i = 1; i < argc; ++i) {
        if (!IsOption(argv[i]))
            continue;
        const char* value;
        const Option* o = FindOption(argv[i], &value);
        if (!o)
            return UsageError("unknown option", argv[i]);
        if (o->kind == kEnd)
            break;
        if (TakesValue(o->kind) && !value) {
            if (i + 1 == argc)
                return UsageError(o->kind == kWidthValue ? "--width needs 1, 2 or 4"
                                                         : "--field needs dec, hex, text, ip, bin or color");
            value = argv[++i];
        }
        switch (o->kind) {
        case kWidth: width = o->value; break;
        case kWidthValue:
            if (std::strcmp(value, "1") && std::strcmp(value, "2") && std::strcmp(value, "4"))
                return UsageError("--width takes 1, 2 or 4, not", value);
            width = value[0] - '0';
            break;
        case kSign: isSigned = o->value; break;
        case kJsonOption:
            json = true;
            layout = kJson;
            break;
        case kFieldValue: {
            int k = 0;
            while (k < 6 && std::strcmp(value, kLayoutNames[k]))
                ++k;
            if (k == 6)
                return UsageError("--field takes dec, hex, text, ip, bin or color, not", value);
            only = true;
            layout = static_cast<Layout>(kOnlyDec + k);
            break;
        }
        case kHelpOption: return WriteOut(kHelp);
        case kVersion: return WriteOut("qx (Quendrix) " QX_VERSION "\n");
        default: break;
        }
    }
    if (json && only)
        return UsageError("--json and --field cannot go together");

    Converter converter(width, isSigned, layout);
    Field field = kAuto;
    bool anyValue = false, options = true;
    for (int i = 1; i < argc && converter.Ok(); ++i) {
        if (options && IsOption(argv[i])) {
            const char* value;
            const Option* o = FindOption(argv[i], &value);
            if (o->kind == kEnd)
                options = false;
            else if (o->kind == kFieldOption)
                field = static_cast<Field>(o->value);
            else if (TakesValue(o->kind) && !value)
                ++i;
            continue;
        }
        anyValue = true;
        converter.Convert(argv[i], std::strlen(argv[i]), field);
    }
    if (!anyValue)
        converter.ConvertInput(field);
    const int status = converter.Finish();
    console::Finish();
    return status;
}
