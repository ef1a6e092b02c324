#include "core/app/LargePageAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

namespace vbu::LargePages {

namespace {

// Below this the heap serves: a large page for less would mostly go unused.
constexpr std::size_t smallest = std::size_t(1) << 20;
static_assert(smallest <= std::size_t(32) << 20, "past the most the heap maps on its own");

std::size_t mappedSize(std::size_t bytes)
{
    return (bytes + pageSize - 1) / pageSize * pageSize;
}

} // namespace

void *allocate(std::size_t bytes)
{
    if (bytes < smallest) {
        void *at = std::malloc(bytes == 0 ? 1 : bytes);
        if (!at)
            throw std::bad_alloc();
        return at;
    }
    // Mapped with a large page's worth to spare, then cut to start on a large page's bound.
    const std::size_t size = mappedSize(bytes);
    void *mapped = mmap(nullptr, size + pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    auto *const start = static_cast<char *>(mapped);
    const std::size_t head = (pageSize - reinterpret_cast<std::uintptr_t>(start) % pageSize) % pageSize;
    if (head > 0)
        munmap(start, head);
    munmap(start + head + size, pageSize - head);
    prefer(start + head, size, false);
    return start + head;
}

void release(void *at, std::size_t bytes) noexcept
{
    if (bytes < smallest)
        std::free(at);
    else
        munmap(at, mappedSize(bytes));
}

void prefer(void *at, std::size_t bytes, bool populate)
{
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto from = reinterpret_cast<std::uintptr_t>(at);
    const std::uintptr_t head = (page - from % page) % page;
    const std::uintptr_t tail = (from + bytes) % page;
    if (bytes <= head + tail)
        return;
    auto *const start = static_cast<char *>(at) + head;
    const std::size_t size = bytes - head - tail;
    madvise(start, size, MADV_HUGEPAGE);
    if (populate)
        madvise(start, size, MADV_POPULATE_WRITE);
}

void mapLargeAllocations()
{
    mallopt(M_MMAP_THRESHOLD, int(smallest));
}

} // namespace vbu::LargePages
