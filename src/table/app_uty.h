#pragma once
// CAppUty: a record buffer of named binary values moved to and from a file
// (the store of the settings file).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CAppUty {
public:
    static constexpr std::size_t kBufferSize = 10240;
    // put refuses a record once this many bytes are used: room for one
    // more record of 1024 data bytes.
    static constexpr std::size_t kPutLimit = 9196;
    static constexpr std::size_t kNameSize = 16;
    static constexpr std::size_t kHeaderSize = kNameSize + 4;

    enum class Lookup { NotFound, Found, TooLong };

    virtual ~CAppUty() = default;

    void beginWrite();
    // Appends a record; the length is rounded up to a multiple of 4 and the
    // padding is zero.
    void put(const char* name, const void* data, std::size_t length);
    void putInteger(const char* name, std::int32_t value);
    void putFloat(const char* name, float value);
    void putText(const char* name, const char* text);
    // 1 on success, 0 after "UE070: Cannot write %s".
    int writeFile(const std::string& folder, const std::string& name);
    // Bytes read (at most kBufferSize), 0 when the file cannot be opened.
    std::size_t readFile(const std::string& folder, const std::string& name);
    // Length copied, 0 when no record has this name (destination unchanged).
    std::size_t get(const char* name, void* destination, std::size_t capacity);
    std::size_t getInteger(const char* name, void* destination);
    // As get, but a record longer than capacity is reported, not fatal.
    Lookup find(const char* name, void* destination, std::size_t capacity,
                std::size_t* length = nullptr);

    // Where a file of that name lives: the name itself when it is absolute.
    static std::string filePath(const std::string& folder, const std::string& name);

private:
    unsigned char m_buffer[kBufferSize] = {};
    std::optional<std::size_t> m_writePos; // "bp"
    std::optional<std::size_t> m_readEnd;  // "rp"
};
