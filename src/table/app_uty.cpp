// The record buffer of the settings file.
#include "table/app_uty.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/ui.h"

namespace {

std::uint32_t readLittleEndian(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void writeLittleEndian(unsigned char* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::size_t roundUp4(std::size_t n) { return (n + 3) / 4 * 4; }

} // namespace

std::string CAppUty::filePath(const std::string& folder, const std::string& name)
{
    if (std::filesystem::path(name).is_absolute())
        return name;
    return folder + "/" + name;
}

void CAppUty::beginWrite() { m_writePos = 0; }

void CAppUty::put(const char* name, const void* data, std::size_t length)
{
    if (!m_writePos)
        fatal("UE0103: bp exceeds limit (no write under way)");
    const std::size_t rounded = roundUp4(length);
    if (*m_writePos >= kPutLimit || *m_writePos + kHeaderSize + rounded > kBufferSize)
        fatal("UE0103: bp exceeds limit (%zu bytes used, record %s of %zu bytes)", *m_writePos,
              name, length);
    unsigned char* record = m_buffer + *m_writePos;
    std::memset(record, 0, kHeaderSize + rounded);
    std::strncpy(reinterpret_cast<char*>(record), name, kNameSize - 1);
    writeLittleEndian(record + kNameSize, static_cast<std::uint32_t>(rounded));
    std::memcpy(record + kHeaderSize, data, length);
    *m_writePos += kHeaderSize + rounded;
}

void CAppUty::putInteger(const char* name, std::int32_t value)
{
    unsigned char bytes[4];
    writeLittleEndian(bytes, static_cast<std::uint32_t>(value));
    put(name, bytes, 4);
}

void CAppUty::putFloat(const char* name, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    unsigned char bytes[4];
    writeLittleEndian(bytes, bits);
    put(name, bytes, 4);
}

void CAppUty::putText(const char* name, const char* text)
{
    put(name, text, std::strlen(text) + 1);
}

int CAppUty::writeFile(const std::string& folder, const std::string& name)
{
    if (!m_writePos)
        fatal("CAppUty:invalid bp");
    std::FILE* file = std::fopen(filePath(folder, name).c_str(), "wb");
    if (!file) {
        message("UE070: Cannot write %s", name.c_str());
        return 0;
    }
    const bool written = std::fwrite(m_buffer, 1, *m_writePos, file) == *m_writePos;
    const bool closed = std::fclose(file) == 0;
    m_writePos.reset();
    if (!written || !closed) {
        message("UE070: Cannot write %s", name.c_str());
        return 0;
    }
    return 1;
}

std::size_t CAppUty::readFile(const std::string& folder, const std::string& name)
{
    std::FILE* file = std::fopen(filePath(folder, name).c_str(), "rb");
    if (!file)
        return 0;
    const std::size_t count = std::fread(m_buffer, 1, kBufferSize, file);
    std::fclose(file);
    m_readEnd = count;
    return count;
}

CAppUty::Lookup CAppUty::find(const char* name, void* destination, std::size_t capacity,
                              std::size_t* length)
{
    if (!m_readEnd)
        fatal("UE0104: rp invalid");
    std::size_t p = 0;
    // A record cut off by the end of the file is never read.
    while (p + kHeaderSize <= *m_readEnd) {
        const std::size_t recordLength = readLittleEndian(m_buffer + p + kNameSize);
        if (recordLength > *m_readEnd - p - kHeaderSize)
            break;
        if (std::strncmp(reinterpret_cast<const char*>(m_buffer + p), name, kNameSize - 1) == 0) {
            if (length)
                *length = recordLength;
            if (recordLength > capacity)
                return Lookup::TooLong;
            std::memcpy(destination, m_buffer + p + kHeaderSize, recordLength);
            return Lookup::Found;
        }
        p += kHeaderSize + recordLength;
    }
    return Lookup::NotFound;
}

std::size_t CAppUty::get(const char* name, void* destination, std::size_t capacity)
{
    std::size_t length = 0;
    switch (find(name, destination, capacity, &length)) {
    case Lookup::NotFound:
        return 0;
    case Lookup::TooLong:
        fatal("UE0105: invalid length");
    case Lookup::Found:
        break;
    }
    return length;
}

std::size_t CAppUty::getInteger(const char* name, void* destination)
{
    return get(name, destination, 4);
}
