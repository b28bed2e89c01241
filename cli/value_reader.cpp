#include "cli/value_reader.h"

#include "engine/text.h"

#include <cstdint>
#include <cstring>

namespace {

using text::IsWhite;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(const char* s, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        if (!IsWhite(s[i]))
            return false;
    return true;
}

// Four groups of digits separated by dots, after leading white space.
bool IsDottedQuad(const char* p)
{
    while (IsWhite(*p))
        ++p;
    for (int group = 0; group < 4; ++group) {
        if (group > 0 && *p++ != '.')
            return false;
        if (!IsDigit(*p))
            return false;
        while (IsDigit(*p))
            ++p;
    }
    return *p == '\0';
}

// Standard input, read in large blocks and cut into lines in place. The buffer holds a line
// just short of the limit with its CR and LF, and the NUL put after it.
char g_input[kLineLimit + 2];
constexpr std::size_t kInputRoom = kLineLimit + 1;

// Of a line too long, the beginning is enough to say which value could not be read.
constexpr std::size_t kShownOfCut = 64;

}  // namespace

ValueReader::ValueReader(const Options& options, Output& output) : m_output(output)
{
    m_number.SetSigned(options.isSigned);
    m_number.SetSize(options.width);
}

void ValueReader::Convert(char* text, std::optional<Field> field) { Convert(text, std::strlen(text), field, false); }

void ValueReader::Convert(char* text, std::size_t length, std::optional<Field> chosen, bool cut)
{
    const Field field = chosen ? *chosen : FieldOfForm(text);
    // The window reads an emptied field as 0; on a command line an empty or blank value is a
    // mistake (an unset variable, say). A space is a character of Text, though.
    const bool empty = length == 0 || (field != Field::Text && IsBlank(text, length));
    if (cut || empty || std::memchr(text, '\0', length) || !Read(text, length, field)) {
        m_status = 1;
        // A Bin form refused before its reading gets its sign back.
        if (m_binStart) {
            if (m_binStart != m_binDigits)
                m_binStart[0] = m_savedPrefix;
            m_binStart = m_binDigits = nullptr;
        }
        m_output.Refusal(FormOf(field).name, text, length, cut);
        return;
    }
    m_output.Value(m_number, text, length);
}

void ValueReader::ConvertInput(Streams& streams, std::optional<Field> field)
{
    // [start, end) is read and not yet taken; [start, searched) holds no line end, so that a long
    // line arriving in many small reads is searched once, not once per read.
    std::size_t start = 0, searched = 0, end = 0;
    bool atEnd = false, skipping = false;
    while (m_output.Ok()) {
        char* const newline = static_cast<char*>(std::memchr(g_input + searched, '\n', end - searched));
        if (newline || (atEnd && start < end)) {
            char* const line = g_input + start;
            std::size_t length = static_cast<std::size_t>((newline ? newline : g_input + end) - line);
            start = searched = newline ? start + length + 1 : end;
            if (skipping) {
                skipping = false;
                continue;
            }
            if (length > 0 && line[length - 1] == '\r')
                --length;
            if (length >= kLineLimit) {
                line[kShownOfCut] = '\0';
                Convert(line, kShownOfCut, field, true);
                continue;
            }
            line[length] = '\0';
            if (!IsBlank(line, length))
                Convert(line, length, field, false);
            continue;
        }
        if (atEnd)
            break;
        if (start > 0) {
            std::memmove(g_input, g_input + start, end - start);
            end -= start;
            start = 0;
        }
        searched = end;
        if (end == kInputRoom) {
            // No line end in the whole room: refused, and the rest of the line passed over.
            if (!skipping) {
                g_input[kShownOfCut] = '\0';
                Convert(g_input, kShownOfCut, field, true);
            }
            skipping = true;
            searched = end = 0;
        }
        const long n = streams.Read(g_input + end, kInputRoom - end);
        if (n < 0) {
            // The cause is taken before anything else is written, which could fail for its own.
            char cause[256] = {};
            std::strncpy(cause, streams.LastError(), sizeof cause - 1);
            m_output.Message({"cannot read standard input: ", cause});
            m_status = 1;
            break;
        }
        atEnd = n == 0;
        end += static_cast<std::size_t>(n);
    }
}

// Without a field option the form decides. The Bin field takes no 0b prefix, so its reading
// starts after it, with a sign in front moved up to the digits (put back after reading).
Field ValueReader::FieldOfForm(char* text)
{
    char* p = text;
    while (IsWhite(*p))
        ++p;
    char* q = p + (*p == '+' || *p == '-');
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
        return Field::Hex;
    if (q[0] == '0' && (q[1] == 'b' || q[1] == 'B')) {
        m_binDigits = q + 2;
        m_binStart = q + 2;
        if (q != p) {
            m_binStart = q + 1;
            m_savedPrefix = q[1];
            q[1] = *p;
        }
        return Field::Bin;
    }
    return IsDottedQuad(text) ? Field::IP : Field::Dec;
}

bool ValueReader::Read(char* text, std::size_t length, Field field)
{
    if (field == Field::Text)
        return ReadText(text, length);
    if (!m_binStart)
        return FormOf(field).parse(m_number, text) != 0;

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
bool ValueReader::ReadText(const char* utf8, std::size_t length)
{
    char last[5] = {};
    std::size_t count = 0;
    bool whole = true;
    text::Utf8ToCp1252(utf8, utf8 + length, [&](int byte) {
        whole = byte >= 0;
        if (whole && count == 4) {
            std::memmove(last, last + 1, 3);
            count = 3;
        }
        if (whole)
            last[count++] = static_cast<char>(byte);
        return whole;
    });
    return whole && m_number.ParseText(last) != 0;
}
