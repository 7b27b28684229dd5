#pragma once
// Opening web pages and folders for the user. Addresses often come from INI files that anyone
// can edit, so only http and https addresses and existing folders are opened, never a program
// or another kind of address.

#include <QString>

#include <functional>

class QUrl;

namespace yav::shell {

// True when the address was handed to the desktop; false (and a log line) when refused.
bool OpenUrl(const QString& address);
bool OpenFolder(const QString& path);

// Whether an address would be opened by OpenUrl.
bool IsWebAddress(const QString& address);

// Replaces the desktop opener (tests record instead of starting a browser); returns the
// previous one. An empty function restores the desktop's.
using Opener = std::function<bool(const QUrl&)>;
Opener SetOpener(Opener opener);

}  // namespace yav::shell
