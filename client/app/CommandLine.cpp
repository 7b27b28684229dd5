// The command line of a direct join (a web page or another program starts the client
// straight into a conference).

#include <limits>
#include <optional>
#include <utility>

#include "Common/NetUtil.h"
#include "YavClientApp.h"
#include "platform/core/Log.h"
#include "platform/core/SingleInstance.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decimal number of the leading digits (optional sign); 0 when there are none, and 0 when
// the number does not fit 32 bits (a wrapped value would name another conference).
std::int32_t ParseNumber(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > kLimit) {
            YLOG_WARN("command-line number out of range: %s", text.toUtf8().constData());
            return 0;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-value);
    }
    if (value == kLimit) {
        YLOG_WARN("command-line number out of range: %s", text.toUtf8().constData());
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

// The value of the first "key=value" pair with exactly that key.
std::optional<QString> PairValue(const QStringList& pairs, const QString& key) {
    for (const QString& pair : pairs) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals >= 0 && QStringView(pair).left(equals) == key) {
            return pair.mid(equals + 1);
        }
    }
    return std::nullopt;
}

// A host name is replaced by its first IPv4 address when it resolves.
void ResolveAddress(ST_START_PARAM* block) {
    const std::string address = block->ServerAddr().toStdString();
    std::string ip;
    if (!IsDigitsAndDots(address) && GetIpByHostName(address, &ip)) {
        block->SetServerAddr(QString::fromStdString(ip));
    }
}

}  // namespace

QString UrlDecode(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    QByteArray decoded;
    decoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size() && HexValue(bytes[i + 1]) >= 0 &&
            HexValue(bytes[i + 2]) >= 0) {
            decoded.append(static_cast<char>(HexValue(bytes[i + 1]) * 16 + HexValue(bytes[i + 2])));
            i += 2;
        } else {
            decoded.append(bytes[i]);
        }
    }
    return QString::fromUtf8(decoded);
}

CYavClientApp::CYavClientApp(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        m_arguments.append(QString::fromUtf8(argv[i]));
    }
}

CYavClientApp::CYavClientApp(QStringList arguments) : m_arguments(std::move(arguments)) {}

CYavClientApp::~CYavClientApp() = default;

int CYavClientApp::ParseCommandLine(ST_START_PARAM* block, QString* digestPwd) const {
    if (block == nullptr || digestPwd == nullptr) {
        return 0;
    }
    *block = ST_START_PARAM{};
    digestPwd->clear();
    const qsizetype count = m_arguments.size() - 1;
    if (count == 1) {
        const QString text = UrlDecode(m_arguments.at(1));
        YLOG_INFO("%s", ("命令行参数：" + text).toUtf8().constData());
        const QStringList pairs = text.split(u'&');
        const std::optional<QString> ip = PairValue(pairs, QStringLiteral("ip"));
        if (!ip || ip->isEmpty()) {
            return 0;
        }
        ST_START_PARAM filled;
        filled.SetServerAddr(*ip);
        filled.SetUserName(PairValue(pairs, QStringLiteral("name")).value_or(QString()));
        const QString password = PairValue(pairs, QStringLiteral("pwd")).value_or(QString());
        filled.SetPassword(password);
        filled.nConfId =
            ParseNumber(PairValue(pairs, QStringLiteral("confid")).value_or(QString()));
        // The last value usually carries the "/" a browser appends; the number ends before it.
        filled.wJoinType = static_cast<std::uint16_t>(
            ParseNumber(PairValue(pairs, QStringLiteral("type")).value_or(QString())));
        QString secret = PairValue(pairs, QStringLiteral("bSecret")).value_or(QString());
        if (secret.endsWith(u'/')) {
            secret.chop(1);
        }
        if (secret == u"1") {
            // The password travels only as the already digested text.
            filled.SetPassword(QString());
            *digestPwd = password;
        }
        ResolveAddress(&filled);
        *block = filled;
        return 1;
    }
    if (count >= 4) {
        block->SetServerAddr(m_arguments.at(1));
        block->SetUserName(m_arguments.at(2));
        block->SetPassword(m_arguments.at(3));
        block->nConfId = ParseNumber(m_arguments.at(4));
        block->wJoinType =
            count >= 5 ? static_cast<std::uint16_t>(ParseNumber(m_arguments.at(5))) : 0;
        ResolveAddress(block);
        return 1;
    }
    return 0;
}
