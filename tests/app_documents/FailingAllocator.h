// FailingAllocator: while an object of it lives, every operator new of this
// test program asking for at least `bytes` throws std::bad_alloc, as a
// large copy does when memory runs out. Smaller requests are served.
#pragma once

#include <cstddef>

class FailingAllocator {
public:
    explicit FailingAllocator(size_t bytes);
    FailingAllocator(const FailingAllocator&) = delete;
    FailingAllocator& operator=(const FailingAllocator&) = delete;
    ~FailingAllocator();
};
