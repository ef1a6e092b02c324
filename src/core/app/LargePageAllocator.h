#pragma once

#include <cstddef>

namespace vbu {

namespace LargePages {
constexpr std::size_t pageSize = std::size_t(2) << 20;
void *allocate(std::size_t bytes);
void release(void *at, std::size_t bytes) noexcept;
// Asks for large pages for memory not touched yet, as far as whole pages of it go; with populate,
// also has them made ready in one call rather than a fault a page. Only hints.
void prefer(void *at, std::size_t bytes, bool populate);
// From now on the heap maps each allocation of a mebibyte or more on its own, whatever was freed
// before: growing one then moves its pages rather than copying its bytes. The views of a long
// report grow such arrays as the findings come, and copying them held up the window.
void mapLargeAllocations();
} // namespace LargePages

// Room for the large arrays a check of a long script fills, in large pages where the system has
// them. The first write to each 4 KiB page costs a fault, and for a million lines those faults
// took longer than the work done in the pages. Small arrays come from the heap as usual.
template<typename T> class LargePageAllocator
{
public:
    using value_type = T; // NOLINT(readability-identifier-naming): the name the standard library looks for

    LargePageAllocator() = default;
    template<typename U> explicit LargePageAllocator(const LargePageAllocator<U> & /*other*/) noexcept {}

    T *allocate(std::size_t count) { return static_cast<T *>(LargePages::allocate(count * sizeof(T))); }
    void deallocate(T *at, std::size_t count) noexcept { LargePages::release(at, count * sizeof(T)); }

    friend bool operator==(const LargePageAllocator & /*a*/, const LargePageAllocator & /*b*/) { return true; }
};

} // namespace vbu
