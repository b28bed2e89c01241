#include "cli/options.h"

#include <cstddef>
#include <cstring>

const char kUsage[] = "Usage: qx [OPTION]... [VALUE]...\n";

const char kHelp[] =
    "Usage: qx [OPTION]... [VALUE]...\n"
    "Show each 32-bit VALUE as Dec, Hex, Text, IP, Bin and its colour, as Quendrix shows it.\n"
    "With no VALUE, read the values from standard input, one per line.\n"
    "\n"
    "  -d, --dec  -x, --hex  -t, --text  -i, --ip  -b, --bin\n"
    "                      read the values after it by that field's rules; without one\n"
    "                      0x.. is Hex, 0b.. Bin, four groups of digits a.b.c.d IP and\n"
    "                      anything else Dec; an empty or blank value is refused\n"
    "      --width 1|2|4   bytes shown (also --char, --word, --long); default 4\n"
    "      --signed, --unsigned\n"
    "                      Dec with or without a sign; default signed\n"
    "      --json          one JSON object per value\n"
    "      --field NAME    only dec, hex, text, ip, bin or color, one line per value\n"
    "      --help, --version\n"
    "\n"
    "Text is Windows-1252, converted to and from UTF-8. Exit status: 0 when every value was\n"
    "read, 1 when one was refused (or the input could not be read or the output written),\n"
    "2 on a usage error.\n";

namespace {

enum Kind { kFieldOption, kWidth, kWidthValue, kSign, kJsonOption, kFieldValue, kHelpOption, kVersion, kEnd };

struct Option
{
    const char* name;
    char letter;
    Kind kind;
    int value;
};

constexpr Option kOptions[] = {
    {"--dec", 'd', kFieldOption, IndexOf(Field::Dec)},    {"--hex", 'x', kFieldOption, IndexOf(Field::Hex)},
    {"--text", 't', kFieldOption, IndexOf(Field::Text)},  {"--ip", 'i', kFieldOption, IndexOf(Field::IP)},
    {"--bin", 'b', kFieldOption, IndexOf(Field::Bin)},    {"--width", 0, kWidthValue, 0},
    {"--char", 0, kWidth, 1},              {"--word", 0, kWidth, 2},
    {"--long", 0, kWidth, 4},              {"--signed", 0, kSign, 1},
    {"--unsigned", 0, kSign, 0},           {"--json", 0, kJsonOption, 0},
    {"--field", 0, kFieldValue, 0},        {"--help", 0, kHelpOption, 0},
    {"--version", 0, kVersion, 0},         {"--", 0, kEnd, 0}};

// --field's names: a field's own in lower case.
bool IsFieldName(const char* value, const char* name)
{
    for (; *name; ++value, ++name)
        if (*value != (*name >= 'A' && *name <= 'Z' ? *name - 'A' + 'a' : *name))
            return false;
    return *value == '\0';
}

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

Options UsageError(const char* problem, const char* quoted = nullptr)
{
    Options o;
    o.action = Options::kUsageError;
    o.problem = problem;
    o.quoted = quoted;
    return o;
}

}  // namespace

Options ReadOptions(int argc, char** argv)
{
    Options options;
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
        case kWidth: options.width = o->value; break;
        case kWidthValue:
            if (std::strcmp(value, "1") && std::strcmp(value, "2") && std::strcmp(value, "4"))
                return UsageError("--width takes 1, 2 or 4, not", value);
            options.width = value[0] - '0';
            break;
        case kSign: options.isSigned = o->value; break;
        case kJsonOption:
            json = true;
            options.layout = kJson;
            break;
        case kFieldValue: {
            int k = 0;
            while (k < kFieldCount && !IsFieldName(value, kFieldForms[k].name))
                ++k;
            if (k == kFieldCount && std::strcmp(value, "color"))
                return UsageError("--field takes dec, hex, text, ip, bin or color, not", value);
            only = true;
            options.layout = k == kFieldCount ? kOnlyColor : kOnlyField;
            options.onlyField = static_cast<Field>(k < kFieldCount ? k : 0);
            break;
        }
        case kHelpOption: options.action = Options::kHelp; return options;
        case kVersion: options.action = Options::kVersion; return options;
        default: break;
        }
    }
    if (json && only)
        return UsageError("--json and --field cannot go together");
    return options;
}

char* Arguments::Next(std::optional<Field>* field)
{
    while (m_next < m_argc) {
        char* const arg = m_argv[m_next++];
        if (m_options && IsOption(arg)) {
            // Every option was checked before any value was read.
            const char* value;
            const Option* o = FindOption(arg, &value);
            if (o->kind == kEnd)
                m_options = false;
            else if (o->kind == kFieldOption)
                m_field = static_cast<Field>(o->value);
            else if (TakesValue(o->kind) && !value)
                ++m_next;
            continue;
        }
        *field = m_field;
        return arg;
    }
    *field = m_field;
    return nullptr;
}
