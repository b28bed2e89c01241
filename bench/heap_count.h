#pragma once

#include <cstddef>

// Every malloc, calloc, realloc and operator new of the program that links bench/heap_count.cpp
// (with -Wl,--wrap=malloc,--wrap=calloc,--wrap=realloc), counted since the start.
std::size_t HeapAllocations();
