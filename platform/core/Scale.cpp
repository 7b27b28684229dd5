#include "Scale.h"

double g_fExchangePW = 1.0;
