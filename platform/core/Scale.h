#pragma once
// The display scale factor by which every design pixel size is multiplied. Set once at
// start-up from the screen the program starts on; 1.0 until then.

extern double g_fExchangePW;

namespace yav {

// A design size in pixels at the current scale, truncated as the layouts expect.
inline int Scaled(int designPixels) {
    return static_cast<int>(designPixels * g_fExchangePW);
}

}  // namespace yav
