#include "KroDsManger.h"

#include <atomic>
#include <new>

#include "DsManager.h"

namespace {

std::atomic<DsManagerCreateFn> g_create{nullptr};
std::atomic<DsManagerDestroyFn> g_destroy{nullptr};

}  // namespace

IDsManager* Kro_CreateDsManager() {
    if (DsManagerCreateFn create = g_create) {
        return create();
    }
    return new (std::nothrow) DsManager();
}

void Kro_DestroyDsManager(IDsManager* manager) {
    if (DsManagerDestroyFn destroy = g_destroy) {
        destroy(manager);
        return;
    }
    delete manager;
}

void Kro_SetDsManagerFactory(DsManagerCreateFn create, DsManagerDestroyFn destroy) {
    g_create = create;
    g_destroy = destroy;
}
