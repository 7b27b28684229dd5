#include "ListHeaderLook.h"

#include <algorithm>

char ListAlignmentCodeForFormat(int format) {
    switch (format) {
        case LVCFMT_LEFT:
            return '0';
        case LVCFMT_RIGHT:
            return '2';
        default:
            return '1';
    }
}

QColor HeaderGradientRowColor(int red, int green, int blue, int step, int row) {
    const auto lower = [step, row](int component) {
        const long long value = component - static_cast<long long>(step) * row;
        return static_cast<int>(std::clamp<long long>(value, 0, 255));
    };
    return QColor(lower(red), lower(green), lower(blue));
}

int HeaderScaledHeight(int defaultHeight, float heightFactor) {
    return static_cast<int>(static_cast<float>(defaultHeight) * heightFactor);
}

Qt::Alignment ListAlignmentForCode(char code) {
    switch (code) {
        case '0':
            return Qt::AlignLeft;
        case '2':
            return Qt::AlignRight;
        default:
            return Qt::AlignHCenter;
    }
}
