#include "StringUtil.h"

QString TruncateWithEllipsis(const QString& text, int n) {
    if (n < 1 || text.size() <= n) {
        return text;
    }
    qsizetype cut = n;
    if (text.at(cut - 1).isHighSurrogate()) {
        --cut;
    }
    return text.left(cut) + QStringLiteral("...");
}

QStringList SplitString(const QString& text, const QString& separator) {
    if (separator.isEmpty()) {
        return text.isEmpty() ? QStringList() : QStringList{text};
    }
    return text.split(separator, Qt::SkipEmptyParts);
}
