// Counts the heap's use for the benches that must show none: the C heap through the linker's
// wrappers, operator new by replacing it.
#include "bench/heap_count.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t g_allocations = 0;
}

std::size_t HeapAllocations() { return g_allocations; }

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

// The array and nothrow forms of new and delete fall back on these. g++ sees the replaced delete
// inlined into free() after a new and takes the pair for a mismatch; here it is the matching pair.
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
