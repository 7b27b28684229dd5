#pragma once
// Factories of the conference-server component. Tests replace the factory with their own
// (Kro_SetCsManagerFactory) to hand the client a fake.

#include "ICsManager.h"

using CsManagerCreateFn = ICsManager* (*)();
using CsManagerDestroyFn = void (*)(ICsManager*);

// A new component (null when it cannot be made). Released with Kro_DestroyCsManager.
ICsManager* Kro_CreateCsManager();
void Kro_DestroyCsManager(ICsManager* manager);

// Replaces both factories; null arguments restore the real component.
void Kro_SetCsManagerFactory(CsManagerCreateFn create, CsManagerDestroyFn destroy);
