// qx with every malloc, calloc, realloc and operator new counted; the count goes to standard
// error as the run ends, so the bench can set a short run beside a long one.
#include "cli/qx.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

#include <unistd.h>

namespace {
std::size_t g_allocations = 0;
}

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* p, std::size_t size);
void* __wrap_malloc(std::size_t size)
{
    ++g_allocations;
    return __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size)
{
    ++g_allocations;
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* p, std::size_t size)
{
    ++g_allocations;
    return __real_realloc(p, size);
}
}

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = __real_malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv)
{
    const int status = RunQx(argc, argv);
    char line[64];
    const int n = std::snprintf(line, sizeof line, "heap allocations: %zu\n", g_allocations);
    if (write(STDERR_FILENO, line, static_cast<std::size_t>(n)) != n)
        return 1;
    return status;
}
