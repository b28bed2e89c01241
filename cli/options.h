// qx's command line: the options that hold for the whole run, then the values in turn, each
// with the field its options chose.
#pragma once

#include "engine/field.h"

#include <cstdint>
#include <optional>

// What each value prints: the window's block, a JSON object, one field's rendering or the colour.
enum Layout : uint8_t { kBlock, kJson, kOnlyField, kOnlyColor };

struct Options
{
    enum Action { kConvert, kHelp, kVersion, kUsageError };

    Action action = kConvert;
    int width = 4;
    int isSigned = 1;
    Layout layout = kBlock;
    Field onlyField = Field::Dec;  // the rendering kOnlyField prints
    // A usage error: what is wrong, and the argument to quote, if any.
    const char* problem = nullptr;
    const char* quoted = nullptr;
};

// Every option, before any value is read, so that a usage error comes before any output.
Options ReadOptions(int argc, char** argv);

// The values of the command line in order; the field options are positional.
class Arguments
{
public:
    Arguments(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    // The next value, with the field chosen before it (none: by the value's form); null after the
    // last, the field then being the one chosen after every value.
    char* Next(std::optional<Field>* field);

private:
    int m_argc;
    char** m_argv;
    int m_next = 1;
    bool m_options = true;
    std::optional<Field> m_field;
};

extern const char kHelp[];
extern const char kUsage[];
