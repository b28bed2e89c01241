// qx with every malloc, calloc, realloc and operator new counted; the count goes to standard
// error as the run ends, so the bench can set a short run beside a long one.
#include "bench/heap_count.h"
#include "cli/console.h"
#include "cli/qx.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

#include <unistd.h>

int main(int argc, char** argv)
{
    int status;
    {
        Console console;
        status = RunQx(argc, argv, console);
    }
    char line[64];
    const int n = std::snprintf(line, sizeof line, "heap allocations: %zu\n", HeapAllocations());
    if (write(STDERR_FILENO, line, static_cast<std::size_t>(n)) != n)
        return 1;
    return status;
}
