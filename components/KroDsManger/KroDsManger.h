#pragma once
// Factories of the data-server component. Tests replace them (Kro_SetDsManagerFactory).

#include "IDsManager.h"

using DsManagerCreateFn = IDsManager* (*)();
using DsManagerDestroyFn = void (*)(IDsManager*);

IDsManager* Kro_CreateDsManager();
void Kro_DestroyDsManager(IDsManager* manager);

// Replaces both factories; null arguments restore the real component.
void Kro_SetDsManagerFactory(DsManagerCreateFn create, DsManagerDestroyFn destroy);
