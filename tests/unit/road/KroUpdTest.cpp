#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

#include "platform/core/Profile.h"
#include "tools/KroUpd/UpgradeCheck.h"

namespace {

using yav::profile::WriteString;

// A description file as the client writes it, with one server.
class KroUpdTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ini = dir.path().toStdString() + "/upgrade.ini";
        Set("offline", "0");
        Set("version", "2.0.1");
        Set("localfile", dir.path().toStdString() + "/upgrade.zip");
        Set("zipmd5", "0123456789abcdef0123456789ABCDEF");
        Set("downloadUrl", "");
        Set("serverCount", "1");
        Set("server1ip", "127.0.0.1");
        Set("server1port", "8877");
        Set("server1filepw", "-12");
        Set("server1guid", "6b29fc40-ca47-1067-b31d-00dd010662da");
    }
    void Set(const char* key, const std::string& value) {
        ASSERT_TRUE(WriteString("upgradeinfo", key, value, ini));
    }

    QTemporaryDir dir;
    std::string ini;
};

TEST_F(KroUpdTest, ASoundFileIsReadWithItsServers) {
    const auto read = kroupd::ReadUpgradeDescription(ini);
    ASSERT_TRUE(read.ok()) << read.problems.front();
    EXPECT_EQ(read.description.version, "2.0.1");
    ASSERT_EQ(read.description.servers.size(), 1u);
    EXPECT_EQ(read.description.servers[0].port, 8877);
    EXPECT_EQ(read.description.servers[0].filePassword, -12);
}

TEST_F(KroUpdTest, FaultyValuesAreEachReported) {
    struct Case {
        const char* key;
        const char* value;
    };
    for (const Case c :
         {Case{"offline", "yes"}, Case{"version", ""}, Case{"localfile", "relative/upgrade.zip"},
          Case{"zipmd5", "abc"}, Case{"zipmd5", "0123456789abcdef0123456789abcdeg"},
          Case{"downloadUrl", "file:///etc/passwd"}, Case{"downloadUrl", "ftp://127.0.0.1/x.zip"},
          Case{"serverCount", "2"}, Case{"serverCount", "-1"}, Case{"serverCount", "1x"},
          Case{"server1ip", "localhost"}, Case{"server1ip", "1.2.3"}, Case{"server1port", "0"},
          Case{"server1port", "70000"}, Case{"server1filepw", "12a"},
          Case{"server1guid", "not-a-guid"}}) {
        SetUp();
        Set(c.key, c.value);
        const auto read = kroupd::ReadUpgradeDescription(ini);
        EXPECT_FALSE(read.ok()) << c.key << "=" << c.value;
        EXPECT_EQ(kroupd::Run(ini, 1000).outcome, kroupd::Outcome::Invalid) << c.key;
    }
}

TEST_F(KroUpdTest, AMissingFileIsInvalid) {
    EXPECT_EQ(kroupd::Run(ini + ".missing", 1000).outcome, kroupd::Outcome::Invalid);
}

TEST_F(KroUpdTest, WithoutADownloadAddressNoPackageIsAvailable) {
    const auto run = kroupd::Run(ini, 1000);
    EXPECT_EQ(run.outcome, kroupd::Outcome::NoPackage);
    EXPECT_NE(run.lines.back().find("no update package is available"), std::string::npos);
    EXPECT_FALSE(QFile::exists(dir.path() + "/upgrade.zip"));
}

// A one-request HTTP server on loopback that answers with the given body.
class OneShotHttp {
public:
    explicit OneShotHttp(QByteArray body) : body_(std::move(body)) {
        thread_ = std::thread([this]() {
            QTcpServer server;
            server.listen(QHostAddress::LocalHost, 0);
            port_ = server.serverPort();
            ready_ = true;
            if (!server.waitForNewConnection(10000)) {
                return;
            }
            std::unique_ptr<QTcpSocket> socket(server.nextPendingConnection());
            QByteArray request;
            while (!request.contains("\r\n\r\n") && socket->waitForReadyRead(5000)) {
                request += socket->readAll();
            }
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: " +
                          QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" +
                          body_);
            socket->waitForBytesWritten(5000);
            socket->disconnectFromHost();
            if (socket->state() != QAbstractSocket::UnconnectedState) {
                socket->waitForDisconnected(5000);
            }
        });
        for (int i = 0; i < 1000 && !ready_; ++i) {
            std::this_thread::yield();
            QThread::msleep(1);
        }
    }
    ~OneShotHttp() { thread_.join(); }
    quint16 port() const { return port_; }

private:
    QByteArray body_;
    std::atomic<quint16> port_{0};
    std::atomic<bool> ready_{false};
    std::thread thread_;
};

TEST_F(KroUpdTest, AnOfferedPackageIsStoredOnlyWhenItsDigestMatches) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QByteArray package("PK\x03\x04 pretend archive");
    const std::string md5 =
        QCryptographicHash::hash(package, QCryptographicHash::Md5).toHex().toStdString();
    {
        OneShotHttp http(package);
        Set("downloadUrl", "http://127.0.0.1:" + std::to_string(http.port()) + "/upgrade.zip");
        Set("zipmd5", "ffffffffffffffffffffffffffffffff");
        EXPECT_EQ(kroupd::Run(ini, 10000).outcome, kroupd::Outcome::ChecksumMismatch);
        EXPECT_FALSE(QFile::exists(dir.path() + "/upgrade.zip"));
    }
    {
        OneShotHttp http(package);
        Set("downloadUrl", "http://127.0.0.1:" + std::to_string(http.port()) + "/upgrade.zip");
        Set("zipmd5", md5);
        EXPECT_EQ(kroupd::Run(ini, 10000).outcome, kroupd::Outcome::Verified);
        QFile stored(dir.path() + "/upgrade.zip");
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
        EXPECT_EQ(stored.readAll(), package);
    }
}

TEST_F(KroUpdTest, NoServerMeansNoPackage) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    Set("downloadUrl", "http://127.0.0.1:" + std::to_string(port) + "/upgrade.zip");
    EXPECT_EQ(kroupd::Run(ini, 5000).outcome, kroupd::Outcome::NoPackage);
}

}  // namespace
