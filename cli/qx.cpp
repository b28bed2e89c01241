// A run of qx: the options, then each value read by one of the engine's field parsers
// (cli/conversion.cpp) and printed from the engine's renderings (cli/output.cpp).
#include "cli/qx.h"

#include "cli/conversion.h"
#include "cli/options.h"
#include "cli/output.h"

#ifndef QX_VERSION
#define QX_VERSION "unknown"
#endif

int RunQx(int argc, char** argv, Streams& streams)
{
    const Options options = ReadOptions(argc, argv);
    Output output(streams, options.layout);
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

    Converter converter(options, output);
    Arguments arguments(argc, argv);
    Field field = kAuto;
    bool anyValue = false;
    for (char* value; output.Ok() && (value = arguments.Next(&field)) != nullptr;) {
        anyValue = true;
        converter.Convert(value, field);
    }
    if (!anyValue)
        converter.ConvertInput(streams, field);
    return output.Finish() ? converter.Status() : 1;
}
