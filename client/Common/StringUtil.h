#pragma once
// Small text helpers shared by the dialogs.

#include <QString>
#include <QStringList>

// The text unchanged when it has n characters or fewer (or n < 1); else its first n characters
// (a surrogate pair is never split) followed by "...".
QString TruncateWithEllipsis(const QString& text, int n);

// The non-empty parts of the text between separators.
QStringList SplitString(const QString& text, const QString& separator);
