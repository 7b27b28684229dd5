#include "CXBuf.h"

#include <cstring>
#include <new>

#include "platform/core/Log.h"

CXBuf::CXBuf(std::uint32_t size) {
    if (size > 0) {
        m_pData.reset(new (std::nothrow) std::uint8_t[size]);
        if (m_pData) {
            m_nCapacity = size;
        } else {
            YLOG_WARN("CXBuf: cannot allocate %u bytes", size);
        }
    }
}

bool CXBuf::Reserve(std::uint32_t n) {
    if (n <= m_nCapacity) {
        return true;
    }
    m_pData.reset();
    m_nCapacity = 0;
    m_nLength = 0;
    m_pData.reset(new (std::nothrow) std::uint8_t[n]);
    if (!m_pData) {
        YLOG_WARN("CXBuf: cannot allocate %u bytes", n);
        return false;
    }
    m_nCapacity = n;
    return true;
}

bool CXBuf::SetData(const std::uint8_t* bytes, std::uint32_t n) {
    if (!Reserve(n)) {
        return false;
    }
    if (n > 0 && bytes != nullptr) {
        std::memcpy(m_pData.get(), bytes, n);
    }
    m_nLength = n;
    return true;
}

std::uint8_t* CXBuf::GetBuffer(std::uint32_t n) {
    return Reserve(n) ? m_pData.get() : nullptr;
}

void CXBuf::SetLength(std::uint32_t n) {
    if (n > m_nCapacity) {
        YLOG_WARN("CXBuf: length %u beyond capacity %u cut", n, m_nCapacity);
        n = m_nCapacity;
    }
    m_nLength = n;
}
