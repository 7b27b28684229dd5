#include "UiMainFrame.h"

IUiMainFrame* g_pUiMainFrame = nullptr;
