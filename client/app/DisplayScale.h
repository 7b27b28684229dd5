#pragma once
// The display scale factor chosen at start-up from the size of the screen the program starts
// on. The layouts were drawn for 1920 x 1080; the factor snaps to the steps the skin images
// were made for.

class QScreen;

namespace yav {

// The factor for a screen of width x height device pixels: the larger of width / 1920 and
// height / 1080; below 1.1 it is 1.0, strictly between 1.2 and 1.4 it is 1.6, strictly
// between 1.8 and 2.1 it is 2.0; every other value stays as computed.
double ScaleFactorForScreen(int width, int height);

// The factor for the given screen (the primary screen when null), or the value of the
// environment variable YAV_SCALE_FACTOR when it holds a number from 0.5 to 4 (tests and users
// with unusual screens force a factor that way). 1.0 when there is no screen at all.
double StartupScaleFactor(const QScreen* screen);

}  // namespace yav
