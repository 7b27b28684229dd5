#include "MD5String.h"

#include <QCryptographicHash>

#include <cstring>

std::string MD5String(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(text, static_cast<qsizetype>(std::strlen(text))), QCryptographicHash::Md5);
    return digest.toHex().toStdString();
}
