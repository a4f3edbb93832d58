// The string pool: blocks of text space carved into 32 size classes with free lists.
#include "table/string_pool.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>

#include "platform/huge_pages.h"
#include "platform/ui.h"

namespace {

// A free slot's first 4 bytes hold the offset of the next free slot of its class.
std::uint32_t readLink(const char* slot)
{
    std::uint32_t offset;
    std::memcpy(&offset, slot, sizeof offset);
    return offset;
}

void writeLink(char* slot, std::uint32_t offset) { std::memcpy(slot, &offset, sizeof offset); }

} // namespace

bool UCBUF::takeSlot(Block& block, std::size_t length, std::uint32_t& offset)
{
    const std::size_t sizeClass = length / 8;
    if (block.freeHead[sizeClass] != kNoSlot) {
        offset = block.freeHead[sizeClass];
        block.freeHead[sizeClass] = readLink(block.space + offset);
        return true;
    }
    // The space left is a multiple of 8, so more than length + 1 bytes always holds the slot.
    if (kSpaceBytes - block.nextFree > length + 1) {
        offset = block.nextFree;
        block.nextFree += static_cast<std::uint32_t>(slotSize(length));
        return true;
    }
    return false;
}

UCBUF::Block& UCBUF::appendBlock()
{
    char* space = static_cast<char*>(m_spaces.take());
    if (!space)
        fatal("Cannot allocate UCBUF");
    Block block{space, 0, {}};
    std::fill(std::begin(block.freeHead), std::end(block.freeHead), kNoSlot);
    m_blockBySpace.emplace(space, m_blocks.size());
    m_blocks.push_back(block);
    return m_blocks.back();
}

const char* UCBUF::pool(std::string_view text)
{
    if (text.size() > kMaxLength)
        fatal("Too long str to UCBUF");
    if (text.empty())
        return nullptr;
    std::uint32_t offset = 0;
    Block* server = nullptr;
    std::size_t& first = m_firstServing[text.size() / 8];
    for (std::size_t index = first; index < m_blocks.size(); ++index) {
        if (takeSlot(m_blocks[index], text.size(), offset)) {
            server = &m_blocks[index];
            break;
        }
        // A block whose free byte has no room for the class's shortest text is passed for good;
        // one refused only for a text of the class's longest length may still fit a shorter one.
        if (index == first && kSpaceBytes - m_blocks[index].nextFree < slotSize(text.size()))
            first = index + 1;
    }
    if (!server) {
        server = &appendBlock();
        takeSlot(*server, text.size(), offset);
    }
    char* slot = server->space + offset;
    std::memcpy(slot, text.data(), text.size());
    slot[text.size()] = '\0';
    return slot;
}

std::size_t UCBUF::blockHolding(const char* handle) const
{
    const std::less<const char*> before;
    auto after = m_blockBySpace.upper_bound(handle);
    if (after == m_blockBySpace.begin())
        fatal("Delete string not found");
    const auto& [space, index] = *std::prev(after);
    if (!before(handle, space + kSpaceBytes))
        fatal("Delete string not found");
    return index;
}

void UCBUF::release(const char* handle)
{
    const std::size_t index = blockHolding(handle);
    Block& block = m_blocks[index];
    const auto offset = static_cast<std::uint32_t>(handle - block.space);
    const std::size_t length = std::strlen(handle);
    const auto slotEnd = static_cast<std::uint32_t>(offset + slotSize(length));
    if (slotEnd == block.nextFree) {
        block.nextFree = offset;
        // The free byte moved back: the block may serve any class again.
        for (std::size_t& first : m_firstServing)
            first = std::min(first, index);
    } else {
        const std::size_t sizeClass = length / 8;
        writeLink(block.space + offset, block.freeHead[sizeClass]);
        block.freeHead[sizeClass] = offset;
        m_firstServing[sizeClass] = std::min(m_firstServing[sizeClass], index);
    }
}

void UCBUF::free()
{
    for (Block& block : m_blocks)
        unmapPages(block.space, kSpaceBytes);
    m_blocks.clear();
    m_spaces.restart(kSpaceBytes);
    m_blockBySpace.clear();
    m_firstServing.fill(0);
}
