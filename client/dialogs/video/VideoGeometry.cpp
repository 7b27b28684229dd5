#include "VideoGeometry.h"

#include <QDir>

namespace video_geometry {

namespace {

// Shrinks the longer side so that width : height becomes num : den, bars on both sides.
void FitAspect(int& left, int& top, int& right, int& bottom, int num, int den) {
    const int width = right - left;
    const int height = bottom - top;
    if (height * num < width * den) {
        const int dx = (width - height * num / den) / 2;
        left += dx;
        right -= dx;
    } else if (height * num > width * den) {
        const int dy = (height - width * den / num) / 2;
        top += dy;
        bottom -= dy;
    }
}

QRect FromEdges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace

PictureLayout ComputePictureRect(const QRect& client, bool zoomedOrPreview, bool cameraPad,
                                 int aspectMode, QSize source) {
    PictureLayout layout;
    int left = client.left();
    int top = client.top();
    int right = client.left() + client.width();
    int bottom = client.top() + client.height();
    if (!zoomedOrPreview) {
        ++left;
        ++top;
        --right;
        --bottom;
    }
    if (cameraPad) {
        const int strip = client.height() / 9;
        layout.cameraPad =
            QRect(client.left(), client.top() + client.height() - strip, client.width(), strip);
        bottom -= strip;
    }
    if (aspectMode == kAspect43) {
        FitAspect(left, top, right, bottom, 4, 3);
    } else if (aspectMode == kAspect169) {
        FitAspect(left, top, right, bottom, 16, 9);
    } else if (source.width() > 0 && source.height() > 0) {
        FitAspect(left, top, right, bottom, source.width(), source.height());
    }
    layout.picture = FromEdges(left, top, right, bottom);
    layout.usable = right - left >= 10 && bottom - top >= 10;
    return layout;
}

Rgb SplitColorRef(std::uint32_t colorRef) {
    return {static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
            static_cast<int>((colorRef >> 16) & 0xFF)};
}

int AlphaOfPercent(int percent) {
    if (percent < 0 || percent > 100) {
        percent = 100;
    }
    return static_cast<int>(percent * 2.54);
}

QString SanitizeFileName(const QString& name) {
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0);
        safe += (control || u == u'/' || u == u'\\') ? QChar(u'_') : c;
    }
    safe.replace(QStringLiteral(".."), QStringLiteral("_"));
    // A leading dot would hide the file.
    if (safe.startsWith(u'.')) {
        safe[0] = u'_';
    }
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

QString SnapshotBaseName(const QString& userName, int channel) {
    const QString safe = SanitizeFileName(userName);
    return channel == 0 ? safe : QStringLiteral("%1-%2").arg(safe, QString::number(channel + 1));
}

QString SnapshotTimePart(const QTime& time) {
    return QStringLiteral("(_%1-%2)")
        .arg(time.hour(), 2, 10, QChar(u'0'))
        .arg(time.minute(), 2, 10, QChar(u'0'));
}

QString FreeSnapshotPath(const QString& folder, const QString& baseName, const QString& timePart,
                         const std::function<bool(const QString&)>& exists) {
    QString dir = QDir::cleanPath(folder);
    if (dir.isEmpty()) {
        return {};
    }
    if (!dir.endsWith(u'/')) {
        dir += u'/';
    }
    for (int n = 0; n <= 9999; ++n) {
        const QString name = baseName + timePart +
                             (n == 0 ? QString() : QStringLiteral("_%1").arg(n)) +
                             QStringLiteral(".bmp");
        const QString path = dir + name;
        // The name came from another participant: never a path that leaves the folder.
        if (name.contains(u'/') || QDir::cleanPath(path) != path) {
            return {};
        }
        if (!exists(path)) {
            return path;
        }
    }
    return {};
}

}  // namespace video_geometry
