// The texts-and-images half of the configuration manager: the language module (texts by id),
// the skin module (PNG images, bitmaps and cursors by id) with its image cache, and the skin
// colours of Skin.ini. Both modules are Qt binary resource files in the program folder,
// registered while loaded.

#include <QFile>
#include <QResource>

#include <atomic>
#include <climits>

#include "ConfigManger.h"
#include "SkinGlobals.h"
#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/core/Scale.h"

namespace {

const QString kNotFound = QStringLiteral("Not found");
const char* const kLanguageNames[] = {"Simplified Chinese", "English", "Traditional Chinese"};
constexpr int kLanguageCount = 3;
// The longest text a caller receives, as a text buffer of 260 characters would hold it.
constexpr qsizetype kMaxTextLength = 259;

// Registers a module under a resource root of its own; the handle unregisters it.
std::shared_ptr<void> RegisterModule(const QString& file, QString* root) {
    static std::atomic<int> s_nextRoot{1};
    const QString newRoot = QStringLiteral("/yavmodule%1").arg(s_nextRoot.fetch_add(1));
    if (file.isEmpty() || !QFile::exists(file) || !QResource::registerResource(file, newRoot)) {
        return nullptr;
    }
    *root = newRoot;
    struct Registration {
        QString file;
        QString root;
    };
    return std::shared_ptr<void>(new Registration{file, newRoot}, [](void* handle) {
        auto* registration = static_cast<Registration*>(handle);
        QResource::unregisterResource(registration->file, registration->root);
        delete registration;
    });
}

// A cell of the text table: "\n", "\r", "\t" and "\\" stand for themselves.
QString Unescape(QStringView cell) {
    QString text;
    text.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] != u'\\' || i + 1 == cell.size()) {
            text += cell[i];
            continue;
        }
        const QChar next = cell[++i];
        if (next == u'n') {
            text += u'\n';
        } else if (next == u'r') {
            text += u'\r';
        } else if (next == u't') {
            text += u'\t';
        } else {
            text += next;
        }
    }
    return text;
}

// The text table: one row per text, "id <tab> Simplified Chinese <tab> English <tab>
// Traditional Chinese [<tab> note]"; the three translations become texts id, id + 1, id + 2.
// Lines starting with "#" and the header line ("id ...") are skipped.
std::shared_ptr<const std::map<int, QString>> ParseTextTable(const QByteArray& data) {
    auto texts = std::make_shared<std::map<int, QString>>();
    const QString table = QString::fromUtf8(data);
    int lineNumber = 0;
    for (QStringView line : QStringView(table).split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u"id\t")) {
            continue;
        }
        const QList<QStringView> cells = line.split(u'\t');
        bool isNumber = false;
        const int id = cells[0].toInt(&isNumber);
        if (!isNumber || id <= 0 || cells.size() < 1 + kLanguageCount) {
            YLOG_WARN("语言表第%d行无效", lineNumber);
            continue;
        }
        for (int language = 0; language < kLanguageCount; ++language) {
            const QString text = Unescape(cells[1 + language]);
            if (!text.isEmpty()) {
                (*texts)[id + language] = text;
            }
        }
    }
    return texts;
}

// An image of one kind ("png", "bitmap", "cursor") of the skin module under its root.
QImage ReadSkinImage(const QString& root, const char* kind, std::uint32_t id) {
    return QImage(QStringLiteral(":%1/skin/%2/%3.png").arg(root, QLatin1String(kind)).arg(id),
                  "PNG");
}

QString TruncateText(QString text) {
    if (text.size() > kMaxTextLength) {
        qsizetype length = kMaxTextLength;
        if (text[length - 1].isHighSurrogate()) {
            --length;
        }
        text.truncate(length);
    }
    return text;
}

}  // namespace

QString CConfigManger::GetString(int id) const {
    std::shared_ptr<const std::map<int, QString>> texts;
    csLock.Enter();
    texts = pTexts;
    csLock.Leave();
    if (!texts || id == 0) {
        return kNotFound;
    }
    // The sum in a wider type: an id near the end of the int range must not overflow.
    const long long textId = static_cast<long long>(id) + nLanguageIndex;
    if (textId < INT_MIN || textId > INT_MAX) {
        return kNotFound;
    }
    const auto found = texts->find(static_cast<int>(textId));
    if (found == texts->end() || found->second.isEmpty()) {
        return kNotFound;
    }
    return TruncateText(found->second);
}

void CConfigManger::LoadLanguage() {
    const std::string name = yav::profile::GetString("Language", "Language", "Simplified Chinese",
                                                     64, strClientIni.toStdString());
    nLanguageIndex = 0;
    for (int index = 0; index < kLanguageCount; ++index) {
        if (name == kLanguageNames[index]) {
            nLanguageIndex = index;
        }
    }

    // Free the loaded module first, as a reload must never mix two tables.
    csLock.Enter();
    pTexts.reset();
    csLock.Leave();
    hLanguageDll.reset();

    QString root;
    std::shared_ptr<void> module = RegisterModule(strLanguageDll, &root);
    if (!module) {
        YLOG_WARN("加载语言模块失败 %s", strLanguageDll.toUtf8().constData());
        return;
    }
    QFile table(QStringLiteral(":%1/language/texts.tsv").arg(root));
    std::shared_ptr<const std::map<int, QString>> texts;
    if (table.open(QIODevice::ReadOnly)) {
        texts = ParseTextTable(table.readAll());
    } else {
        YLOG_WARN("语言模块中没有文字表 %s", strLanguageDll.toUtf8().constData());
        texts = std::make_shared<const std::map<int, QString>>();
    }
    hLanguageDll = std::move(module);
    csLock.Enter();
    pTexts = std::move(texts);
    csLock.Leave();
}

void CConfigManger::SetLanguage(int index) {
    if (index == nLanguageIndex) {
        return;
    }
    nLanguageIndex = index;
    const char* name = index >= 0 && index < kLanguageCount ? kLanguageNames[index] : "";
    yav::profile::WriteString("Language", "Language", name, strClientIni.toStdString());
}

bool CConfigManger::LoadSkinModule() {
    FreeSkinModule();
    QString root;
    hSkinDll = RegisterModule(strSkinsDll, &root);
    if (!hSkinDll) {
        YLOG_WARN("加载皮肤dll失败");
        return false;
    }
    strSkinRoot = root;
    return true;
}

void CConfigManger::FreeSkinModule() {
    hSkinDll.reset();
    strSkinRoot.clear();
}

void CConfigManger::LoadSkin() {
    const std::string clientIni = strClientIni.toStdString();
    const std::string skinIni = strSkinIni.toStdString();
    nSkinIndex = yav::profile::GetInt("Skins", "Skin", 0, clientIni);
    nSkinCount = yav::profile::GetInt("SkinsConfig", "Count", 0, skinIni);
    bIsSelfLog = yav::profile::GetInt("SkinsConfig", "IsSelfLog", 0, skinIni);
    csLock.Enter();
    LoadSkinModule();
    csLock.Leave();
    LoadSkinColors();
}

void CConfigManger::LoadSkinColors() {
    g_SkinMetrics.fExchangePW = g_fExchangePW;
    g_SkinMetrics.clrDefault = {
        yav::MakeColorRef(83, 101, 165),  yav::MakeColorRef(255, 255, 255),
        yav::MakeColorRef(27, 29, 41),    yav::MakeColorRef(83, 101, 165),
        yav::MakeColorRef(27, 29, 41),    yav::MakeColorRef(51, 133, 237),
        yav::MakeColorRef(221, 221, 221), yav::MakeColorRef(51, 51, 51),
        yav::MakeColorRef(62, 162, 64),
    };
    const int designSizes[kSkinSizeCount] = {36, 31, 30, 36, 30};
    for (int i = 0; i < kSkinSizeCount; ++i) {
        g_SkinMetrics.nSize[i] = yav::Scaled(designSizes[i]);
    }
    g_clrCaption = g_SkinMetrics.clrDefault[kSkinColorCaption];
    g_nCaptionHeight = g_SkinMetrics.nSize[kSkinSizeCaptionHeight];

    const struct {
        const char* prefix;
        COLORREF* color;
    } sections[] = {
        {"ListCol_", &g_clrSkinList},          {"ListBKCol_", &g_clrSkinListBk},
        {"AudioCol_", &g_clrSkinAudio},        {"BackCol_", &g_clrSkinBack},
        {"LineCol_", &g_clrSkinLine},          {"PlayBackCol_", &g_clrSkinPlayBack},
        {"ComDlgLine_", &g_clrSkinComDlgLine},
    };
    const std::string skinIni = strSkinIni.toStdString();
    for (const auto& entry : sections) {
        // "<name>_%d" with the skin index.
        const std::string section = entry.prefix + std::to_string(nSkinIndex);
        const int red = yav::profile::GetInt(section, "R", 0, skinIni);
        const int green = yav::profile::GetInt(section, "G", 0, skinIni);
        const int blue = yav::profile::GetInt(section, "B", 0, skinIni);
        *entry.color = yav::MakeColorRef(red, green, blue);
    }
}

QImage* CConfigManger::LoadPNG(std::uint32_t id) {
    csLock.Enter();
    struct Leave {
        yav::CriticalSection& lock;
        ~Leave() { lock.Leave(); }
    } leave{csLock};

    const auto cached = mapImages.find(id);
    if (cached != mapImages.end()) {
        return cached->second.get();
    }
    if (!hSkinDll) {
        LoadSkinModule();
    }
    if (id == 0) {
        return nullptr;
    }
    // Skins 0 and 1 share the base images; skin n above 1 has its own at id + n - 1.
    const std::uint32_t resourceId =
        nSkinIndex != 0 ? id + static_cast<std::uint32_t>(nSkinIndex) - 1 : id;
    QFile resource(QStringLiteral(":%1/skin/png/%2.png").arg(strSkinRoot).arg(resourceId));
    if (!hSkinDll || !resource.exists()) {
        YLOG_WARN("无法找到资源 nid=%d", static_cast<int>(id));
        return nullptr;
    }
    if (!resource.open(QIODevice::ReadOnly)) {
        YLOG_WARN("加载图片资源失败 nid=%d", static_cast<int>(id));
        return nullptr;
    }
    auto image = std::make_unique<QImage>();
    if (!image->loadFromData(resource.readAll(), "PNG")) {
        YLOG_DEBUG("CConfigManger::LoadPNG nid=%d 加载失败", static_cast<int>(id));
        return nullptr;
    }
    QImage* result = image.get();
    mapImages.emplace(id, std::move(image));
    return result;
}

QImage* CConfigManger::LoadPNGScaled(std::uint32_t id) {
    if (g_fExchangePW > 1.1) {
        if (QImage* highDensity = LoadPNG(id + 1)) {
            return highDensity;
        }
    }
    return LoadPNG(id);
}

QPixmap CConfigManger::LoadBitmap(std::uint32_t id) {
    csLock.Enter();
    const QImage image = hSkinDll ? ReadSkinImage(strSkinRoot, "bitmap", id) : QImage();
    csLock.Leave();
    if (image.isNull()) {
        YLOG_WARN("CConfigManger::LoadBitmap Null nID=%d", static_cast<int>(id));
        return QPixmap();
    }
    return QPixmap::fromImage(image);
}

QCursor CConfigManger::LoadCursor(std::uint32_t id) {
    csLock.Enter();
    const QImage image = hSkinDll ? ReadSkinImage(strSkinRoot, "cursor", id) : QImage();
    csLock.Leave();
    if (image.isNull()) {
        YLOG_WARN("CConfigManger::LoadCursor Null nId=%d", static_cast<int>(id));
        return QCursor();
    }
    // The hot spot travels in the image's text chunks; without them it is the centre.
    bool hasX = false;
    bool hasY = false;
    const int hotX = image.text(QStringLiteral("HotSpotX")).toInt(&hasX);
    const int hotY = image.text(QStringLiteral("HotSpotY")).toInt(&hasY);
    return QCursor(QPixmap::fromImage(image), hasX ? hotX : -1, hasY ? hotY : -1);
}

void CConfigManger::ReleaseImageCache() {
    csLock.Enter();
    mapImages.clear();
    csLock.Leave();
}

QString LoadLangString(int id) {
    return g_ConfigManager.GetString(id);
}

QPixmap LoadSkinBitmap(std::uint32_t id) {
    return g_ConfigManager.LoadBitmap(id);
}

QImage* LoadPNGIfEmpty(QImage* held, std::uint32_t id) {
    return held != nullptr ? held : g_ConfigManager.LoadPNG(id);
}
