// qx's command line: the options that hold for the whole run, then the values in turn, each
// with the field its options chose.
#pragma once

enum Field { kAuto = -1, kDec, kHex, kText, kIP, kBin };

// What each value prints: the window's block, a JSON object, or one rendering.
enum Layout { kBlock, kJson, kOnlyDec, kOnlyHex, kOnlyText, kOnlyIP, kOnlyBin, kOnlyColor };

struct Options
{
    enum Action { kConvert, kHelp, kVersion, kUsageError };

    Action action = kConvert;
    int width = 4;
    int isSigned = 1;
    Layout layout = kBlock;
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

    // The next value, with the field chosen before it; null after the last, the field then being
    // the one chosen after every value.
    char* Next(Field* field);

private:
    int m_argc;
    char** m_argv;
    int m_next = 1;
    bool m_options = true;
    Field m_field = kAuto;
};

extern const char kHelp[];
extern const char kUsage[];
