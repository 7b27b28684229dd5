#pragma once
// A byte buffer that owns its array: capacity, length of the data in it, and the data.

#include <cstdint>
#include <memory>

class CXBuf {
public:
    explicit CXBuf(std::uint32_t size);
    virtual ~CXBuf() = default;
    CXBuf(const CXBuf&) = delete;
    CXBuf& operator=(const CXBuf&) = delete;

    // True when n bytes fit; otherwise a new array of n bytes replaces the old one (contents
    // are not kept). False (capacity 0) when the allocation fails.
    bool Reserve(std::uint32_t n);
    // Copies n bytes in (growing when needed) and sets the length to n.
    bool SetData(const std::uint8_t* bytes, std::uint32_t n);
    // The array, grown to at least n bytes; null when that allocation fails.
    std::uint8_t* GetBuffer(std::uint32_t n);

    std::uint32_t GetLength() const { return m_nLength; }
    // Sets the data length, at most the capacity.
    void SetLength(std::uint32_t n);
    std::uint32_t GetCapacity() const { return m_nCapacity; }
    std::uint8_t* GetData() { return m_pData.get(); }
    const std::uint8_t* GetData() const { return m_pData.get(); }

    std::uint32_t m_nReserved = 0;

private:
    std::uint32_t m_nCapacity = 0;
    std::uint32_t m_nLength = 0;
    std::unique_ptr<std::uint8_t[]> m_pData;
};
