#include "cli/qx.h"

#ifdef _WIN32
#include "cli/console.h"

int wmain(int argc, wchar_t** argv) { return RunQx(argc, Utf8Arguments(argc, argv)); }
#else
int main(int argc, char** argv) { return RunQx(argc, argv); }
#endif
