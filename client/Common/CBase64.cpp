#include "CBase64.h"

#include <vector>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kLineLength = 72;

int DecodeChar(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

}  // namespace

void CBase64::Put(char c, char* output, int* written) {
    output[(*written)++] = c;
    if (++m_nLineChars == kLineLength) {
        output[(*written)++] = '\n';
        m_nLineChars = 0;
    }
}

int CBase64::Encode(const std::uint8_t* bytes, int count, char* output, int flush) {
    int written = 0;
    for (int i = 0; i < count; ++i) {
        m_pending[m_nPending++] = bytes[i];
        if (m_nPending == 3) {
            Put(kAlphabet[m_pending[0] >> 2], output, &written);
            Put(kAlphabet[((m_pending[0] & 0x03) << 4) | (m_pending[1] >> 4)], output, &written);
            Put(kAlphabet[((m_pending[1] & 0x0F) << 2) | (m_pending[2] >> 6)], output, &written);
            Put(kAlphabet[m_pending[2] & 0x3F], output, &written);
            m_nPending = 0;
        }
    }
    if (flush && m_nPending > 0) {
        const std::uint8_t b0 = m_pending[0];
        const std::uint8_t b1 = m_nPending > 1 ? m_pending[1] : 0;
        Put(kAlphabet[b0 >> 2], output, &written);
        Put(kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)], output, &written);
        Put(m_nPending > 1 ? kAlphabet[(b1 & 0x0F) << 2] : '=', output, &written);
        Put('=', output, &written);
        m_nPending = 0;
    }
    if (flush) {
        m_nLineChars = 0;
    }
    output[written] = '\0';
    return written;
}

int CBase64::Decode(const char* text, int length, std::uint8_t* output) {
    int written = 0;
    int i = 0;
    while (i < length) {
        if (text[i] == '\n' || text[i] == '\r') {
            ++i;
            continue;
        }
        if (i + 4 > length) {
            return -1;
        }
        int values[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && k >= 2) {
                values[k] = 0;
                ++padding;
            } else if (padding > 0 || (values[k] = DecodeChar(c)) < 0) {
                return -1;
            }
        }
        output[written++] = static_cast<std::uint8_t>((values[0] << 2) | (values[1] >> 4));
        if (padding < 2) {
            output[written++] =
                static_cast<std::uint8_t>(((values[1] & 0x0F) << 4) | (values[2] >> 2));
        }
        if (padding < 1) {
            output[written++] = static_cast<std::uint8_t>(((values[2] & 0x03) << 6) | values[3]);
        }
        i += 4;
        if (padding > 0) {
            // Only line ends may follow a padded group.
            for (; i < length; ++i) {
                if (text[i] != '\n' && text[i] != '\r') {
                    return -1;
                }
            }
        }
    }
    return written;
}

std::size_t CBase64::MaxEncodedLength(std::size_t count) {
    const std::size_t characters = (count + 2) / 3 * 4;
    return characters + characters / kLineLength + 1;
}

std::string CBase64::EncodeToString(std::string_view bytes) {
    std::vector<char> output(MaxEncodedLength(bytes.size()));
    CBase64 coder;
    const int written = coder.Encode(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     static_cast<int>(bytes.size()), output.data(), 1);
    return std::string(output.data(), static_cast<std::size_t>(written));
}

std::optional<std::string> CBase64::DecodeToString(std::string_view text) {
    std::vector<std::uint8_t> output(text.size() * 3 / 4 + 3);
    const int written = Decode(text.data(), static_cast<int>(text.size()), output.data());
    if (written < 0) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(output.data()),
                       static_cast<std::size_t>(written));
}
