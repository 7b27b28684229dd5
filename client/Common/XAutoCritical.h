#pragma once
// Scope lock over a critical section (null allowed: then it does nothing). The same guard as
// XAutoMutex under the name the other half of the program uses.

#include "platform/core/CriticalSection.h"

class XAutoCritical : public yav::SectionGuard {
public:
    explicit XAutoCritical(yav::CriticalSection* section) : yav::SectionGuard(section) {}
};
