#include "platform/window/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/core/Log.h"

namespace yav::shell {

namespace {

Opener& CurrentOpener() {
    static Opener opener;
    return opener;
}

bool Open(const QUrl& url) {
    const Opener& opener = CurrentOpener();
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

QUrl WebUrl(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) {
        return QUrl();
    }
    return url;
}

}  // namespace

bool IsWebAddress(const QString& address) {
    return WebUrl(address).isValid();
}

bool OpenUrl(const QString& address) {
    const QUrl url = WebUrl(address);
    if (!url.isValid()) {
        YLOG_WARN("refused to open address \"%s\": not an http or https address",
                  address.toUtf8().constData());
        return false;
    }
    return Open(url);
}

bool OpenFolder(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isDir()) {
        YLOG_WARN("refused to open folder \"%s\": no such folder", path.toUtf8().constData());
        return false;
    }
    return Open(QUrl::fromLocalFile(info.absoluteFilePath()));
}

Opener SetOpener(Opener opener) {
    Opener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}

}  // namespace yav::shell
