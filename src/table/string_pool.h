#pragma once
// UCBUF: the string pool that holds every table text of 1-255 characters.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "platform/huge_pages.h"

class UCBUF {
public:
    // A block is 2,097,232 bytes of which the header takes 144; the rest is text space.
    static constexpr std::size_t kBlockBytes = 2097232;
    static constexpr std::size_t kHeaderBytes = 144;
    static constexpr std::size_t kSpaceBytes = kBlockBytes - kHeaderBytes;
    static constexpr int kClassCount = 32;
    static constexpr std::size_t kMaxLength = 255;

    UCBUF() = default;
    ~UCBUF() { free(); }
    UCBUF(const UCBUF&) = delete;
    UCBUF& operator=(const UCBUF&) = delete;

    // Copies a text of 1-255 characters into the pool and returns its handle
    // (the address of the copy); the empty text is never stored: nullptr.
    // 256 or more characters is fatal.
    const char* pool(std::string_view text);
    // Gives the slot of a pooled text back; an address outside the pool is fatal.
    void release(const char* handle);
    // Drops every block; all handles become invalid.
    void free();

    std::size_t blockCount() const { return m_blocks.size(); }
    static std::size_t slotSize(std::size_t length) { return 8 * (length / 8 + 1); }

private:
    struct Block {
        char* space;
        std::uint32_t nextFree; // offset of the first never-used byte
        std::uint32_t freeHead[kClassCount];
    };
    static constexpr std::uint32_t kNoSlot = 0xffffffffu;

    static bool takeSlot(Block& block, std::size_t length, std::uint32_t& offset);
    Block& appendBlock();
    // The index of the block whose space holds the handle; fatal when none does.
    std::size_t blockHolding(const char* handle) const;

    std::vector<Block> m_blocks; // oldest first
    ZeroedBlocks m_spaces{kSpaceBytes};
    // Per size class, the first block that may still serve it: every older one has neither a
    // free slot of the class nor room at its free byte, so a text never looks at them.
    std::array<std::size_t, kClassCount> m_firstServing{};
    std::map<const char*, std::size_t> m_blockBySpace;
};
