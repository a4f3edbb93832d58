#pragma once
// Large zeroed blocks mapped on their own and advised to take 2 MB pages.
//
// Filling fresh memory costs a page fault per 4 kB page, which on virtual machines costs more
// than writing the page: a million orbits fill a few hundred megabytes, so their tables, texts
// and arrays ask for huge pages, 512 times fewer faults.

#include <cstddef>
#include <future>

// The size of a huge page; blocks of it or more are aligned to it.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// bytes of zeroed memory, on a 2 MB boundary when it is 2 MB or more; nullptr when there is no
// memory. Give it back with unmapPages and the same size.
void* mapZeroedPages(std::size_t bytes);
void unmapPages(void* memory, std::size_t bytes);

// Zeroed blocks of one size, handed out one after another. From the second on, the next block
// is mapped and its pages made present on another thread while the caller fills the last one:
// the kernel clears fresh pages as they are first touched, which on a virtual machine costs
// about as much as the filling itself, and this moves that cost to another core.
class ZeroedBlocks {
public:
    explicit ZeroedBlocks(std::size_t bytes = 0) : m_bytes(bytes) {}
    ~ZeroedBlocks() { restart(0); }
    ZeroedBlocks(const ZeroedBlocks&) = delete;
    ZeroedBlocks& operator=(const ZeroedBlocks&) = delete;

    // A block as mapZeroedPages gives it, to be given back with unmapPages; nullptr when there
    // is no memory.
    void* take();
    // Drops the block made ahead, if any; later blocks are of the new size.
    void restart(std::size_t bytes);

private:
    std::size_t m_bytes;
    int m_taken = 0;
    std::future<void*> m_ahead;
};
