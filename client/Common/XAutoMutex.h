#pragma once
// Scope lock over a critical section (null allowed: then it does nothing).

#include "platform/core/CriticalSection.h"

class XAutoMutex : public yav::SectionGuard {
public:
    explicit XAutoMutex(yav::CriticalSection* section) : yav::SectionGuard(section) {}
};
