// Nothing is allocated per value, and nothing here needs static initialisation at start: the
// buffer lives in .bss and the escape tables are built by the compiler.
#include "cli/output.h"

#include "engine/number.h"
#include "engine/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

using text::kHexDigits;

// Characters that show nothing, or turn the rest of the line around: no-break space, soft
// hyphen, the zero-width and direction marks, the embeddings and overrides, the invisible
// operators and the byte-order mark.
constexpr bool IsInvisible(uint32_t cp)
{
    return cp == 0xA0 || cp == 0xAD || (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2060 && cp <= 0x206F) || cp == 0xFEFF;
}

// What a terminal must not receive as itself: control characters, C0, DEL and C1, and the
// invisible ones.
constexpr bool IsHidden(uint32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || IsInvisible(cp); }

// One byte of Text as it is written out.
struct Glyph
{
    char text[7];
    unsigned char length;
};

// For the terminal: the hidden characters, the code page's five unassigned bytes among them, as
// \xHH and the backslash doubled, so every line stays printable and reads only one way.
constexpr std::array<Glyph, 256> kShownGlyphs = [] {
    std::array<Glyph, 256> t{};
    for (int b = 0; b < 256; ++b) {
        Glyph& g = t[b];
        const uint32_t cp = text::CodePoint(static_cast<unsigned char>(b));
        if (IsHidden(cp)) {
            g = {{'\\', 'x', kHexDigits[b >> 4], kHexDigits[b & 15]}, 4};
        } else if (b == '\\') {
            g = {{'\\', '\\'}, 2};
        } else {
            g.length = static_cast<unsigned char>(text::EncodeUtf8(g.text, cp) - g.text);
        }
    }
    return t;
}();

// \uXXXX of a character of the Basic Multilingual Plane.
constexpr char* JsonEscape(char* p, uint32_t cp)
{
    const char text[6] = {'\\', 'u', kHexDigits[cp >> 12 & 15], kHexDigits[cp >> 8 & 15], kHexDigits[cp >> 4 & 15],
                          kHexDigits[cp & 15]};
    for (char c : text)
        *p++ = c;
    return p;
}

// Inside a JSON string: escaped as JSON requires, the hidden characters as \uXXXX too (the same
// string to a parser, and harmless on a terminal), every other character as itself.
constexpr std::array<Glyph, 256> kJsonGlyphs = [] {
    std::array<Glyph, 256> t{};
    for (int b = 0; b < 256; ++b) {
        Glyph& g = t[b];
        const uint32_t cp = text::CodePoint(static_cast<unsigned char>(b));
        const char* shortForm = b == '"' ? "\\\"" : b == '\\' ? "\\\\" : b == '\b' ? "\\b"
                              : b == '\f' ? "\\f" : b == '\n' ? "\\n" : b == '\r' ? "\\r"
                              : b == '\t' ? "\\t" : nullptr;
        if (shortForm)
            g = {{shortForm[0], shortForm[1]}, 2};
        else if (IsHidden(cp))
            g.length = static_cast<unsigned char>(JsonEscape(g.text, cp) - g.text);
        else
            g.length = static_cast<unsigned char>(text::EncodeUtf8(g.text, cp) - g.text);
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
// escaped like Text; the hidden characters and the bytes that are not UTF-8 as \xHH each.
constexpr std::size_t kEchoLimit = 64;
constexpr std::size_t kEchoMax = (kEchoLimit + 4) * 4 + 16;

char* Echo(char* p, const char* s, std::size_t length, bool cut)
{
    const char* const end = s + length;
    const char* const stop = s + (length < kEchoLimit ? length : kEchoLimit);
    while (s < stop) {
        uint32_t cp = 0;
        const int n = text::DecodeUtf8(s, end, &cp);
        if (n == 1) {
            p = *s == '"' ? Copy(p, "\\\"") : PutGlyph(p, kShownGlyphs[static_cast<unsigned char>(*s)]);
            ++s;
        } else if (n == 0 || IsHidden(cp)) {
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

template <std::size_t N>
char* Line(char* p, const char (&label)[N], const char* rendering)
{
    p = Copy(Copy(p, label), rendering);
    *p++ = '\n';
    return p;
}

// A JSON member whose value needs no escaping; the opening quote is in the key text.
template <std::size_t N>
char* Member(char* p, const char (&key)[N], const char* rendering)
{
    p = Copy(Copy(p, key), rendering);
    *p++ = '"';
    return p;
}

char* ShownText(char* p, const char* text)
{
    for (; *text; ++text)
        p = PutGlyph(p, kShownGlyphs[static_cast<unsigned char>(*text)]);
    return p;
}

// #RRGGBB: the low 24 bits of the whole value, as the swatch reads them.
char* Color(char* p, uint32_t color)
{
    *p++ = '#';
    for (int shift = 20; shift >= 0; shift -= 4)
        *p++ = kHexDigits[color >> shift & 15];
    return p;
}

char* Swatch(char* p, uint32_t color)
{
    p = Copy(p, "  \x1b[48;2;");
    p = text::WriteDecimal(p, color >> 16);
    *p++ = ';';
    p = text::WriteDecimal(p, color >> 8 & 0xFF);
    *p++ = ';';
    p = text::WriteDecimal(p, color & 0xFF);
    return Copy(p, "m      \x1b[0m");
}

// Longer than any one block: the renderings are short and a Text byte takes at most 6 characters.
constexpr std::size_t kBlockMax = 512;
constexpr std::size_t kJsonChunk = 1024;

// Zero as the program starts: no initialiser runs for it.
char g_buffer[1 << 20];

bool IsSet(const char* value) { return value && *value; }

}  // namespace

Output::Output(Streams& streams, Layout layout, Field onlyField)
    : m_streams(streams), m_buffer(g_buffer), m_layout(layout), m_onlyField(onlyField),
      m_lineByLine(streams.IsTerminal(Streams::Out))
{
}

// The colour block goes only to a terminal, and not where the user or the terminal says no (a
// dumb terminal would print the sequences); asked once, as the first block is written.
bool Output::WantsSwatch()
{
    const char* term = m_streams.Variable("TERM");
    return m_lineByLine && !IsSet(m_streams.Variable("NO_COLOR")) && !(term && std::strcmp(term, "dumb") == 0) &&
           m_streams.EnableColor();
}

char* Output::Reserve(std::size_t size)
{
    if (sizeof g_buffer - m_used < size)
        Flush();
    return m_buffer + m_used;
}

void Output::Put(const char* s, std::size_t n)
{
    while (n > 0) {
        char* p = Reserve(1);
        const std::size_t room = sizeof g_buffer - m_used;
        const std::size_t k = n < room ? n : room;
        std::memcpy(p, s, k);
        Commit(p + k);
        s += k;
        n -= k;
    }
}

// A JSON string of a UTF-8 text; bytes that are not UTF-8 become U+FFFD.
void Output::PutJson(const char* s, std::size_t length)
{
    const char* const end = s + length;
    Put("\"", 1);
    while (s < end) {
        char* p = Reserve(kJsonChunk + 16);
        char* const stop = p + kJsonChunk;
        while (s < end && p < stop) {
            const unsigned char c = static_cast<unsigned char>(*s);
            if (c < 0x80) {
                p = PutGlyph(p, kJsonGlyphs[c]);
                ++s;
                continue;
            }
            uint32_t cp = 0;
            const int n = text::DecodeUtf8(s, end, &cp);
            if (n == 0) {
                p = Copy(p, "\xEF\xBF\xBD");
                ++s;
            } else if (IsHidden(cp)) {
                p = JsonEscape(p, cp);
                s += n;
            } else {
                std::memcpy(p, s, static_cast<std::size_t>(n));
                p += n;
                s += n;
            }
        }
        Commit(p);
    }
    Put("\"", 1);
}

void Output::Flush()
{
    if (m_used && !m_failed && !m_streams.Write(Streams::Out, m_buffer, m_used)) {
        m_failed = true;
        std::strncpy(m_failure, m_streams.LastError(), sizeof m_failure - 1);
    }
    m_used = 0;
}

void Output::Value(const CNumber& number, const char* text, std::size_t length)
{
    const uint32_t color = number.GetValue() & 0xFFFFFF;
    char* p;
    switch (m_layout) {
    case kBlock:
        p = Reserve(kBlockMax);
        if (m_printed++)
            *p++ = '\n';
        else
            m_swatch = WantsSwatch();
        p = Line(p, "Dec   ", number.GetDec());
        p = Line(p, "Hex   ", number.GetHex());
        p = ShownText(Copy(p, "Text  "), number.GetText());
        *p++ = '\n';
        p = Line(p, "IP    ", number.GetIP());
        p = Line(p, "Bin   ", number.GetBin());
        p = Color(Copy(p, "Color "), color);
        if (m_swatch)
            p = Swatch(p, color);
        *p++ = '\n';
        break;
    case kJson:
        Put("{\"input\": ", 10);
        PutJson(text, length);
        p = Reserve(kBlockMax * 2);
        p = Member(p, ", \"dec\": \"", number.GetDec());
        p = Member(p, ", \"hex\": \"", number.GetHex());
        p = Copy(p, ", \"text\": \"");
        for (const char* t = number.GetText(); *t; ++t)
            p = PutGlyph(p, kJsonGlyphs[static_cast<unsigned char>(*t)]);
        p = Member(p, "\", \"ip\": \"", number.GetIP());
        p = Member(p, ", \"bin\": \"", number.GetBin());
        p = Color(Copy(p, ", \"color\": \""), color);
        p = Copy(p, "\"}\n");
        break;
    default:
        p = Reserve(kBlockMax);
        if (m_layout == kOnlyColor)
            p = Color(p, color);
        else if (m_onlyField == Field::Text)
            p = ShownText(p, number.GetText());
        else
            p = Copy(p, FormOf(m_onlyField).render(number));
        *p++ = '\n';
        break;
    }
    Commit(p);
    if (m_lineByLine)
        Flush();
}

void Output::Refusal(const char* fieldName, const char* text, std::size_t length, bool cut)
{
    char message[kEchoMax + 64];
    char* p = Copy(message, fieldName);
    p = Copy(p, " cannot read \"");
    p = Echo(p, text, length, cut);
    *p++ = '"';
    const std::size_t size = static_cast<std::size_t>(p - message);
    if (m_layout != kJson) {
        Message({std::string_view(message, size)});
        return;
    }
    Put("{\"input\": ", 10);
    if (cut) {
        char shown[kEchoLimit + 3];
        const std::size_t n = std::min(length, kEchoLimit);
        std::memcpy(shown, text, n);
        std::memcpy(shown + n, "...", 3);
        PutJson(shown, n + 3);
    } else {
        PutJson(text, length);
    }
    Put(", \"error\": ", 11);
    PutJson(message, size);
    Put("}\n", 2);
    if (m_lineByLine)
        Flush();
}

void Output::Plain(const char* text) { Put(text, std::strlen(text)); }

void Output::Message(std::initializer_list<std::string_view> parts)
{
    Flush();
    char line[1024] = "qx: ";
    std::size_t n = 4;
    for (std::string_view part : parts) {
        const std::size_t k = std::min(part.size(), sizeof line - 1 - n);
        std::memcpy(line + n, part.data(), k);
        n += k;
    }
    line[n++] = '\n';
    m_streams.Write(Streams::Err, line, n);
}

void Output::UsageError(const char* problem, const char* quoted)
{
    char echo[kEchoMax];
    if (quoted) {
        const char* const echoEnd = Echo(echo, quoted, std::strlen(quoted), false);
        Message({problem, " '", std::string_view(echo, static_cast<std::size_t>(echoEnd - echo)), "'"});
    } else {
        Message({problem});
    }
    static const char hint[] = "Try 'qx --help' for more information.\n";
    m_streams.Write(Streams::Err, kUsage, std::strlen(kUsage));
    m_streams.Write(Streams::Err, hint, sizeof hint - 1);
}

bool Output::Finish()
{
    Flush();
    if (m_failed)
        Message({"cannot write the output: ", m_failure});
    return !m_failed;
}
