// What qx writes: each value in the chosen layout, refusals and messages. Standard output goes
// through one buffer, written in large blocks (value by value on a terminal); a message first
// writes out what is pending, so that the two streams keep their order in one file. Every line
// is whole, valid UTF-8 and printable: what cannot be shown as itself is escaped.
#pragma once

#include "cli/options.h"
#include "cli/streams.h"

#include <cstddef>
#include <initializer_list>
#include <string_view>

class CNumber;

class Output
{
public:
    // onlyField: the field kOnlyField prints.
    Output(Streams& streams, Layout layout, Field onlyField = Field::Dec);

    // An accepted value: text is what the user gave, number what it was read as.
    void Value(const CNumber& number, const char* text, std::size_t length);

    // A value its field refused: a message, or with --json an error object in its place. cut: the
    // text is only the beginning of a longer one.
    void Refusal(const char* fieldName, const char* text, std::size_t length, bool cut);

    // Text as it is, to standard output.
    void Plain(const char* text);

    // One line on standard error: "qx: " and the parts.
    void Message(std::initializer_list<std::string_view> parts);

    // The message of a usage error, quoting the argument if there is one, and the usage.
    void UsageError(const char* problem, const char* quoted);

    // False once standard output could not be written.
    bool Ok() const { return !m_failed; }

    // Writes out the rest; false, having said why, when standard output could not be written.
    bool Finish();

private:
    char* Reserve(std::size_t size);
    void Commit(char* end) { m_used = static_cast<std::size_t>(end - m_buffer); }
    void Put(const char* s, std::size_t n);
    void PutJson(const char* s, std::size_t length);
    void Flush();
    bool WantsSwatch();

    Streams& m_streams;
    char* const m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
    char m_failure[256] = {};  // why standard output could not be written
    const Layout m_layout;
    const Field m_onlyField;
    const bool m_lineByLine;
    bool m_swatch = false;
    std::size_t m_printed = 0;
};
