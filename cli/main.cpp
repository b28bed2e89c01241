#include "cli/console.h"
#include "cli/qx.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    Console console;
    return RunQx(argc, Utf8Arguments(argc, argv), console);
}
#else
int main(int argc, char** argv)
{
    Console console;
    return RunQx(argc, argv, console);
}
#endif
