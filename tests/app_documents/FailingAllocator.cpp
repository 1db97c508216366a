#include "FailingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {
std::atomic<size_t> failFrom{std::numeric_limits<size_t>::max()};
}

FailingAllocator::FailingAllocator(size_t bytes)
{
    failFrom = bytes;
}

FailingAllocator::~FailingAllocator()
{
    failFrom = std::numeric_limits<size_t>::max();
}

// Replaces the program's allocation function; the library's operator delete
// frees with free(), which matches.
void* operator new(size_t size)
{
    if (size >= failFrom)
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}
