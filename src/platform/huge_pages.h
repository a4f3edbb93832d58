#pragma once
// Large zeroed blocks mapped on their own and advised to take 2 MB pages.
//
// Filling fresh memory costs a page fault per 4 kB page, which on virtual machines costs more
// than writing the page: a million orbits fill a few hundred megabytes, so their tables, texts
// and arrays ask for huge pages, 512 times fewer faults.

#include <cstddef>

// The size of a huge page; blocks of it or more are aligned to it.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// bytes of zeroed memory, on a 2 MB boundary when it is 2 MB or more; nullptr when there is no
// memory. Give it back with unmapPages and the same size.
void* mapZeroedPages(std::size_t bytes);
void unmapPages(void* memory, std::size_t bytes);
