#pragma once
// The data-server addresses of section "login" of "Client.ini": a list of up to three
// service addresses or one own server, chosen by "ServerType"; and the camera mode
// "bVideoCapMode" of section "appinfo".

#include <QString>

struct NetSetSettings {
    QString server1;
    QString server2;
    QString server3;
    QString serverSelf;
    int serverType = 0;  // 0 server list, 1 own server

    // Reads the addresses (trimmed) and the server type (any non-zero number is 1).
    static NetSetSettings Load(const QString& clientIniPath);
    // Writes the three list addresses, trimmed.
    void SaveList(const QString& clientIniPath) const;
    // Writes "ServerType", and "serverself" (trimmed) for the own server.
    void SaveServerType(const QString& clientIniPath) const;
    static void SaveSingleCapture(bool singleCapture, const QString& clientIniPath);

    // "a;b;c" from the non-empty trimmed list addresses. The separator is written whenever an
    // address follows, also when nothing stands before it.
    static QString ComposeServerList(const QString& server1, const QString& server2,
                                     const QString& server3);
    // What the login connects to for the given server type and texts.
    QString ServerList() const;
};
