#include "RoadText.h"

#include <algorithm>
#include <cstring>

#include "Common/NetUtil.h"
#include "platform/core/TextCodec.h"

namespace yav::road {

QString StartParamName(const ST_START_PARAM& block) {
    return block.UserName();
}
QString StartParamPassword(const ST_START_PARAM& block) {
    return block.Password();
}
QString StartParamServer(const ST_START_PARAM& block) {
    return block.ServerAddr();
}
int StartParamType(const ST_START_PARAM& block) {
    return block.wJoinType;
}
uint32_t StartParamConfId(const ST_START_PARAM& block) {
    return static_cast<uint32_t>(block.nConfId);
}
void SetStartParamConfId(ST_START_PARAM& block, uint32_t confId) {
    block.nConfId = static_cast<int32_t>(confId);
}

std::string ToGbkCut(const QString& text, size_t maxBytes) {
    const std::string gbk = yav::text::Utf16ToGbk(text.toStdU16String());
    return std::string(yav::text::TruncateGbk(gbk, maxBytes));
}

QString FromGbkField(const char* field, size_t size) {
    const size_t length = strnlen(field, size);
    return QString::fromStdU16String(yav::text::GbkToUtf16(std::string_view(field, length)));
}

std::string ResolveDsAddress(const std::string& typed) {
    std::string dotted;
    if (!typed.empty() && !IsDigitsAndDots(typed) && GetIpByHostName(typed, &dotted)) {
        return dotted;
    }
    return typed;
}

}  // namespace yav::road
