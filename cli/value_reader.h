// qx's reader of values: each value of the command line or line of standard input, read by the
// field its option chose or, without one, by its form; Text through Windows-1252.
#pragma once

#include "cli/options.h"
#include "cli/output.h"
#include "cli/streams.h"
#include "engine/number.h"

#include <cstddef>
#include <optional>

// A line of standard input this long or longer (its CR LF or LF not counted) is refused, not split.
constexpr std::size_t kLineLimit = 1 << 20;

class ValueReader
{
public:
    ValueReader(const Options& options, Output& output);

    // A value from the command line, of the field or (none) of its form. Its text may be changed
    // while it is read; it is given back as it was.
    void Convert(char* text, std::optional<Field> field);

    // Every line of standard input that is not blank, as a value of the field or of its form.
    void ConvertInput(Streams& streams, std::optional<Field> field);

    // 0 when every value was read, else 1.
    int Status() const { return m_status; }

private:
    // text[length] is NUL; the text itself may hold another NUL only when it came from input.
    void Convert(char* text, std::size_t length, std::optional<Field> field, bool cut);
    Field FieldOfForm(char* text);
    bool Read(char* text, std::size_t length, Field field);
    bool ReadText(const char* utf8, std::size_t length);

    CNumber m_number;
    Output& m_output;
    int m_status = 0;
    char* m_binStart = nullptr;   // where the Bin form's reading starts, if it is one
    char* m_binDigits = nullptr;  // just after its prefix
    char m_savedPrefix = 0;       // the prefix letter the sign was moved onto
};
