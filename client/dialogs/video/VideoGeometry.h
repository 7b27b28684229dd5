#pragma once
// The arithmetic of a video window, free of widgets: the picture rectangle with its camera-pad
// strip and aspect bars, the snapshot file name, the caption colour and the overlay alpha.

#include <QDateTime>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>

namespace video_geometry {

enum AspectMode { kAspectFill = 1, kAspect43 = 2, kAspect169 = 3 };

struct PictureLayout {
    QRect picture;    // where the picture is drawn
    QRect cameraPad;  // the pad's strip (empty without a pad)
    bool usable = true;
};

// Client rectangle -> picture rectangle: a 1-px frame unless zoomed or a preview, the pad's
// bottom ninth, then the aspect bars (integer arithmetic throughout). 4:3 and 16:9 force those
// proportions; fill keeps the picture's own (`source`, its size; empty while none is known).
PictureLayout ComputePictureRect(const QRect& client, bool zoomedOrPreview, bool cameraPad,
                                 int aspectMode, QSize source = {});

// Red, green, blue of a 0x00BBGGRR colour.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};
Rgb SplitColorRef(std::uint32_t colorRef);
// Alpha 0..254 of a percentage; values outside 0..100 count as 100.
int AlphaOfPercent(int percent);

// The snapshot's file name without folder: the participant's name made safe for a file name
// ("Ann", "Ann-3" for channel 2), the time part "(_HH-MM)", "_n" for n > 0 and ".bmp".
QString SnapshotBaseName(const QString& userName, int channel);
QString SnapshotTimePart(const QTime& time);
// A name with nothing that leaves its folder or hides itself: path separators, control
// characters and ".." become "_"; an empty result becomes "_".
QString SanitizeFileName(const QString& name);
// The first free snapshot path in the folder (n = 0 .. 9999), or an empty string when all are
// taken or the result would leave the folder.
QString FreeSnapshotPath(const QString& folder, const QString& baseName, const QString& timePart,
                         const std::function<bool(const QString&)>& exists);

}  // namespace video_geometry
