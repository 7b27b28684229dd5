#pragma once
// Small text and address helpers of the conference road: the start block's fields, GBK texts
// cut for the servers' fixed fields, and data-server addresses.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

#include "StartParam.h"

namespace yav::road {

QString StartParamName(const ST_START_PARAM& block);
QString StartParamPassword(const ST_START_PARAM& block);
QString StartParamServer(const ST_START_PARAM& block);
int StartParamType(const ST_START_PARAM& block);
uint32_t StartParamConfId(const ST_START_PARAM& block);
void SetStartParamConfId(ST_START_PARAM& block, uint32_t confId);

// The text in code page 936, at most maxBytes long, never ending inside a double-byte
// character.
std::string ToGbkCut(const QString& text, size_t maxBytes);

// A GBK text of a fixed field that may lack its terminator.
QString FromGbkField(const char* field, size_t size);

// A data-server address as the component takes it: dotted IPv4 text stays as typed; a host
// name becomes the first IPv4 address it resolves to, or stays as typed when it resolves to
// none.
std::string ResolveDsAddress(const std::string& typed);

}  // namespace yav::road
