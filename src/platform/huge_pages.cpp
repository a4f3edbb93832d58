// Anonymous mappings advised to take huge pages.
#include "platform/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>
#include <system_error>

namespace {

constexpr std::size_t kPage = 4096;

std::size_t roundUp(std::size_t bytes, std::size_t unit)
{
    return (bytes + unit - 1) / unit * unit;
}

// The mapped length of a block of bytes.
std::size_t mappedLength(std::size_t bytes)
{
    return bytes < kHugePageBytes ? roundUp(bytes, kPage) : roundUp(bytes, kHugePageBytes);
}

} // namespace

void* mapZeroedPages(std::size_t bytes)
{
    const std::size_t length = mappedLength(bytes);
    const std::size_t slack = length < kHugePageBytes ? 0 : kHugePageBytes;
    void* mapped =
        mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    if (slack == 0)
        return mapped;
    // Only whole aligned 2 MB ranges can take a huge page: the unaligned head and tail go back.
    auto* start = static_cast<char*>(mapped);
    const std::size_t head =
        (kHugePageBytes - reinterpret_cast<std::uintptr_t>(start) % kHugePageBytes) %
        kHugePageBytes;
    if (head > 0)
        munmap(start, head);
    munmap(start + head + length, slack - head);
    madvise(start + head, length, MADV_HUGEPAGE);
    return start + head;
}

void unmapPages(void* memory, std::size_t bytes)
{
    if (memory != nullptr)
        munmap(memory, mappedLength(bytes));
}

namespace {

// Maps a block and faults every page in on the calling thread.
void* mapPresentPages(std::size_t bytes)
{
    auto* block = static_cast<volatile char*>(mapZeroedPages(bytes));
    if (block != nullptr)
        for (std::size_t offset = 0; offset < bytes; offset += kPage)
            block[offset] = 0;
    return const_cast<char*>(block);
}

} // namespace

void* ZeroedBlocks::take()
{
    void* block = m_ahead.valid() ? m_ahead.get() : mapZeroedPages(m_bytes);
    if (block == nullptr || ++m_taken < 2)
        return block;
    try {
        m_ahead = std::async(std::launch::async, mapPresentPages, m_bytes);
    } catch (const std::system_error&) {
        // Without a thread to spare, the next block is mapped when it is taken.
    }
    return block;
}

void ZeroedBlocks::restart(std::size_t bytes)
{
    if (m_ahead.valid())
        unmapPages(m_ahead.get(), m_bytes);
    m_bytes = bytes;
    m_taken = 0;
}
