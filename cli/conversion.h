// Reading the values: the field that reads each one, by its option or by its form, the Text
// field's code page, and the lines of standard input.
#pragma once

#include "cli/options.h"
#include "cli/output.h"
#include "cli/streams.h"
#include "engine/number.h"

#include <cstddef>

// A line of standard input this long or longer (its CR LF or LF not counted) is refused, not split.
constexpr std::size_t kLineLimit = 1 << 20;

class Converter
{
public:
    Converter(const Options& options, Output& output);

    // A value from the command line. Its text may be changed while it is read; it is given back
    // as it was.
    void Convert(char* text, Field field);

    // Every line of standard input that is not blank, as a value of the field.
    void ConvertInput(Streams& streams, Field field);

    // 0 when every value was read, else 1.
    int Status() const { return m_status; }

private:
    // text[length] is NUL; the text itself may hold another NUL only when it came from input.
    void Convert(char* text, std::size_t length, Field field, bool cut);
    Field FieldOfForm(char* text);
    bool Read(char* text, std::size_t length, Field field);
    bool ReadText(const char* text, std::size_t length);

    CNumber m_number;
    Output& m_output;
    int m_status = 0;
    char* m_binStart = nullptr;   // where the Bin form's reading starts, if it is one
    char* m_binDigits = nullptr;  // just after its prefix
    char m_savedPrefix = 0;       // the prefix letter the sign was moved onto
};
