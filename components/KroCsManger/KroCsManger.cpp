#include "KroCsManger.h"

#include <atomic>
#include <new>

#include "CsManager.h"

namespace {

std::atomic<CsManagerCreateFn> g_create{nullptr};
std::atomic<CsManagerDestroyFn> g_destroy{nullptr};

}  // namespace

ICsManager* Kro_CreateCsManager() {
    if (CsManagerCreateFn create = g_create) {
        return create();
    }
    return new (std::nothrow) CsManager();
}

void Kro_DestroyCsManager(ICsManager* manager) {
    if (CsManagerDestroyFn destroy = g_destroy) {
        destroy(manager);
        return;
    }
    delete manager;
}

void Kro_SetCsManagerFactory(CsManagerCreateFn create, CsManagerDestroyFn destroy) {
    g_create = create;
    g_destroy = destroy;
}
