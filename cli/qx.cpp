// A run of qx: the options, then each value read by one of the engine's field parsers
// (cli/value_reader.cpp) and printed from the engine's renderings (cli/output.cpp).
#include "cli/qx.h"

#include "cli/options.h"
#include "cli/output.h"
#include "cli/value_reader.h"

#ifndef QX_VERSION
#define QX_VERSION "unknown"
#endif

int RunQx(int argc, char** argv, Streams& streams)
{
    const Options options = ReadOptions(argc, argv);
    Output output(streams, options.layout, options.onlyField);
    switch (options.action) {
    case Options::kUsageError:
        output.UsageError(options.problem, options.quoted);
        return 2;
    case Options::kHelp:
        output.Plain(kHelp);
        return output.Finish() ? 0 : 1;
    case Options::kVersion:
        output.Plain("qx (Quendrix) " QX_VERSION "\n");
        return output.Finish() ? 0 : 1;
    case Options::kConvert:
        break;
    }

    ValueReader reader(options, output);
    Arguments arguments(argc, argv);
    std::optional<Field> field;
    bool anyValue = false;
    for (char* value; output.Ok() && (value = arguments.Next(&field)) != nullptr;) {
        anyValue = true;
        reader.Convert(value, field);
    }
    if (!anyValue)
        reader.ConvertInput(streams, field);
    return output.Finish() ? reader.Status() : 1;
}
