#pragma once

#include <cstddef>

namespace vbu {

namespace LargePages {
void *allocate(std::size_t bytes);
void release(void *at, std::size_t bytes) noexcept;
} // namespace LargePages

// Room for the large arrays a check of a long script fills, in large pages where the system has
// them. The first write to each 4 KiB page costs a fault, and for a million lines those faults
// took longer than the work done in the pages. Small arrays come from the heap as usual.
template<typename T> class LargePageAllocator
{
public:
    using value_type = T;

    LargePageAllocator() = default;
    template<typename U> explicit LargePageAllocator(const LargePageAllocator<U> & /*other*/) noexcept {}

    T *allocate(std::size_t count) { return static_cast<T *>(LargePages::allocate(count * sizeof(T))); }
    void deallocate(T *at, std::size_t count) noexcept { LargePages::release(at, count * sizeof(T)); }

    friend bool operator==(const LargePageAllocator & /*a*/, const LargePageAllocator & /*b*/) { return true; }
};

} // namespace vbu
