// The configuration manager's language and skin modules: text lookup by id and language,
// the image cache with its skin and scale rules, bitmaps, cursors, skin colours, and what a
// missing module gives. Test modules (TestLanguage.rcc, TestSkins.rcc) have sizes and texts
// of their own so that each check can tell which module and which resource it reached.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <thread>
#include <vector>

#include "client/config/ConfigManger.h"
#include "client/config/SkinGlobals.h"
#include "platform/core/Profile.h"
#include "platform/core/Scale.h"
#include "unit/resources/LogCapture.h"

namespace {

using yav::testing::LogCapture;

const QString kTestModules = QStringLiteral(YAV_TEST_MODULE_DIR);
const QString kNotFound = QStringLiteral("Not found");

// Sets the display scale for one test and puts it back afterwards.
class ScaleGuard {
public:
    explicit ScaleGuard(double scale) : saved_(g_fExchangePW) { g_fExchangePW = scale; }
    ~ScaleGuard() { g_fExchangePW = saved_; }

private:
    double saved_;
};

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        config_.strClientIni = dir_.filePath(QStringLiteral("Client.ini"));
        config_.strSkinIni = dir_.filePath(QStringLiteral("Skin.ini"));
        config_.strLanguageDll = kTestModules + QStringLiteral("/TestLanguage.rcc");
        config_.strSkinsDll = kTestModules + QStringLiteral("/TestSkins.rcc");
    }

    void WriteClient(const char* section, const char* key, const char* value) {
        ASSERT_TRUE(
            yav::profile::WriteString(section, key, value, config_.strClientIni.toStdString()));
    }
    void WriteSkin(const std::string& section, const char* key, const char* value) {
        ASSERT_TRUE(
            yav::profile::WriteString(section, key, value, config_.strSkinIni.toStdString()));
    }
    std::string ReadClient(const char* section, const char* key) {
        return yav::profile::GetString(section, key, "<missing>", 64,
                                       config_.strClientIni.toStdString());
    }

    QTemporaryDir dir_;
    CConfigManger config_;
};

// --- language texts ---

TEST_F(ResourcesTest, EnglishTextOfIdComesFromTheNextId) {
    WriteClient("Language", "Language", "English");
    config_.LoadLanguage();
    EXPECT_EQ(config_.GetLanguageIndex(), 1);
    EXPECT_EQ(config_.GetString(1000), QStringLiteral("English thousand"));
    EXPECT_EQ(config_.GetString(999), QStringLiteral("中文一千"));
}

TEST_F(ResourcesTest, LanguageNameSelectsIndexAndAnyOtherNameIsSimplifiedChinese) {
    const struct {
        const char* name;
        int index;
        const char* text1000;
    } cases[] = {
        {"Simplified Chinese", 0, "中文一千"},
        {"English", 1, "English thousand"},
        {"Traditional Chinese", 2, "繁體一千"},
        {"english", 0, "中文一千"},
        {"Klingon", 0, "中文一千"},
        {"", 0, "中文一千"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteClient("Language", "Language", c.name);
        config_.LoadLanguage();
        EXPECT_EQ(config_.GetLanguageIndex(), c.index);
        EXPECT_EQ(config_.GetString(1000).toStdString(), c.text1000);
    }
}

TEST_F(ResourcesTest, MissingLanguageSettingIsSimplifiedChinese) {
    config_.LoadLanguage();
    EXPECT_EQ(config_.GetLanguageIndex(), 0);
    EXPECT_EQ(config_.GetString(1), QStringLiteral("测试"));
}

TEST_F(ResourcesTest, TextsThatAreNotThereAreNotFound) {
    WriteClient("Language", "Language", "English");
    config_.LoadLanguage();
    EXPECT_EQ(config_.GetString(0), kNotFound);
    EXPECT_EQ(config_.GetString(-1), kNotFound);  // id -1 + index 1 = 0: no such text
    EXPECT_EQ(config_.GetString(4000), kNotFound);
    EXPECT_EQ(config_.GetString(1003), kNotFound);  // the row has no English text
    EXPECT_EQ(config_.GetString(INT_MAX), kNotFound);
    config_.SetLanguage(0);
    EXPECT_EQ(config_.GetString(1003), QStringLiteral("只有中文"));
}

TEST_F(ResourcesTest, EveryTextIsNotFoundWithoutTheModule) {
    config_.strLanguageDll = dir_.filePath(QStringLiteral("NoSuchLanguage.rcc"));
    LogCapture log;
    config_.LoadLanguage();
    EXPECT_EQ(config_.GetString(1), kNotFound);
    EXPECT_EQ(config_.GetString(1000), kNotFound);
}

TEST_F(ResourcesTest, LongTextIsCutAsACallersBufferHoldsIt) {
    config_.LoadLanguage();
    EXPECT_EQ(config_.GetString(1006), QString(259, QChar(0x957F)));
}

TEST_F(ResourcesTest, SetLanguageStoresTheNameAndKeepsTheModule) {
    config_.LoadLanguage();
    config_.SetLanguage(2);
    EXPECT_EQ(config_.GetLanguageIndex(), 2);
    EXPECT_EQ(ReadClient("Language", "Language"), "Traditional Chinese");
    EXPECT_EQ(config_.GetString(1000), QStringLiteral("繁體一千"));
    config_.SetLanguage(1);
    EXPECT_EQ(ReadClient("Language", "Language"), "English");
    EXPECT_EQ(config_.GetString(1000), QStringLiteral("English thousand"));
}

TEST_F(ResourcesTest, SetLanguageOutsideTheThreeWritesAnEmptyName) {
    config_.LoadLanguage();
    config_.SetLanguage(7);
    EXPECT_EQ(config_.GetLanguageIndex(), 7);
    EXPECT_EQ(ReadClient("Language", "Language"), "");
}

TEST_F(ResourcesTest, SetLanguageToTheCurrentIndexWritesNothing) {
    config_.LoadLanguage();
    config_.SetLanguage(0);
    EXPECT_EQ(ReadClient("Language", "Language"), "<missing>");
}

TEST_F(ResourcesTest, ObjectsKeepTheirOwnModules) {
    CConfigManger other;
    other.strClientIni = config_.strClientIni;
    other.strLanguageDll =
        QStringLiteral("Language.rcc");  // the program's own, in the program folder
    other.LoadLanguage();
    config_.LoadLanguage();
    EXPECT_EQ(config_.GetString(1), QStringLiteral("测试"));
    EXPECT_NE(other.GetString(1), QStringLiteral("测试"));
    EXPECT_NE(other.GetString(1), kNotFound);
    // Reloading one object's module leaves the other's alone.
    config_.strLanguageDll = dir_.filePath(QStringLiteral("gone.rcc"));
    config_.LoadLanguage();
    EXPECT_EQ(config_.GetString(1), kNotFound);
    EXPECT_NE(other.GetString(1), kNotFound);
}

// --- skin images ---

TEST_F(ResourcesTest, SamePngIdGivesTheSameImageObject) {
    config_.LoadSkin();
    QImage* first = config_.LoadPNG(162);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->size(), QSize(40, 40));
    EXPECT_EQ(config_.LoadPNG(162), first);
}

TEST_F(ResourcesTest, CachedImageIsServedWithoutTheModuleAndReleaseLoadsAgain) {
    config_.LoadSkin();
    QImage* test = config_.LoadPNG(162);
    ASSERT_NE(test, nullptr);
    // Switch to the program's own skin: the cache still answers with the image it holds.
    config_.strSkinsDll = QStringLiteral("Skins.rcc");
    config_.LoadSkin();
    EXPECT_EQ(config_.LoadPNG(162), test);
    EXPECT_EQ(test->size(), QSize(40, 40));
    config_.ReleaseImageCache();
    QImage* reloaded = config_.LoadPNG(162);
    ASSERT_NE(reloaded, nullptr);
    EXPECT_NE(reloaded->size(), QSize(40, 40))
        << "the request after the release reached the module";
}

TEST_F(ResourcesTest, PngZeroAndUnknownIdsAreNull) {
    config_.LoadSkin();
    LogCapture log;
    EXPECT_EQ(config_.LoadPNG(0), nullptr);
    EXPECT_EQ(config_.LoadPNG(12345), nullptr);
    EXPECT_TRUE(log.Contains("无法找到资源 nid=12345")) << log.Last();
}

// The log lines print an id as a signed number, as every reader of those logs knows them.
TEST_F(ResourcesTest, LogLinesWriteIdsAsSignedNumbers) {
    config_.LoadSkin();
    LogCapture log;
    EXPECT_EQ(config_.LoadPNG(0xFFFFFFFFu), nullptr);
    EXPECT_TRUE(log.Contains("无法找到资源 nid=-1>")) << log.Last();
    EXPECT_TRUE(config_.LoadBitmap(0x80000000u).isNull());
    EXPECT_TRUE(log.Contains("CConfigManger::LoadBitmap Null nID=-2147483648>")) << log.Last();
    EXPECT_TRUE(config_.LoadCursor(0xFFFFFFFEu).pixmap().isNull());
    EXPECT_TRUE(log.Contains("CConfigManger::LoadCursor Null nId=-2>")) << log.Last();
}

TEST_F(ResourcesTest, PngLoadsTheModuleWhenNotLoadedYet) {
    EXPECT_NE(config_.LoadPNG(600), nullptr);
}

TEST_F(ResourcesTest, MissingSkinModuleGivesNullImagesAndWarnings) {
    config_.strSkinsDll = dir_.filePath(QStringLiteral("NoSkins.rcc"));
    LogCapture log;
    config_.LoadSkin();
    EXPECT_TRUE(log.Contains("加载皮肤dll失败"));
    EXPECT_EQ(config_.LoadPNG(162), nullptr);
    EXPECT_TRUE(log.Contains("无法找到资源 nid=162"));
    EXPECT_TRUE(config_.LoadBitmap(96).isNull());
    EXPECT_TRUE(log.Contains("CConfigManger::LoadBitmap Null nID=96"));
    EXPECT_TRUE(config_.LoadCursor(92).pixmap().isNull());
    EXPECT_TRUE(log.Contains("CConfigManger::LoadCursor Null nId=92"));
}

TEST_F(ResourcesTest, SkinIndexAboveOneUsesItsOwnImagesCachedUnderTheBaseId) {
    const struct {
        const char* skin;
        QSize size;
    } cases[] = {{"0", QSize(10, 10)}, {"1", QSize(10, 10)}, {"2", QSize(12, 12)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.skin);
        WriteClient("Skins", "Skin", c.skin);
        config_.ReleaseImageCache();
        config_.LoadSkin();
        QImage* image = config_.LoadPNG(600);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->size(), c.size);
        EXPECT_EQ(config_.LoadPNG(600), image);
    }
}

TEST_F(ResourcesTest, ScaledPngTakesTheHighDensityImageOnlyAboveOnePointOne) {
    config_.LoadSkin();
    const struct {
        double scale;
        std::uint32_t id;
        QSize size;
    } cases[] = {
        {1.0, 162, QSize(40, 40)}, {1.1, 162, QSize(40, 40)}, {1.11, 162, QSize(80, 80)},
        {2.0, 162, QSize(80, 80)}, {1.5, 602, QSize(24, 24)},  // 603 does not exist: falls back to
                                                               // 602
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        ScaleGuard scale(c.scale);
        QImage* image = config_.LoadPNGScaled(c.id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->size(), c.size);
    }
}

TEST_F(ResourcesTest, ConcurrentRequestsShareOneCachedImage) {
    config_.LoadSkin();
    std::vector<QImage*> results(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = config_.LoadPNG(i % 2 == 0 ? 162 : 600); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (size_t i = 0; i < results.size(); ++i) {
        ASSERT_NE(results[i], nullptr);
        EXPECT_EQ(results[i], results[i % 2]);
    }
}

TEST_F(ResourcesTest, BitmapAndCursorComeFromTheSkinModule) {
    config_.LoadSkin();
    const QPixmap bitmap = config_.LoadBitmap(96);
    EXPECT_EQ(bitmap.size(), QSize(135, 45));
    const QCursor cursor = config_.LoadCursor(92);
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(cursor.hotSpot(), QPoint(16, 16));
    LogCapture log;
    EXPECT_TRUE(config_.LoadBitmap(97).isNull());
    EXPECT_TRUE(log.Contains("CConfigManger::LoadBitmap Null nID=97"));
    // A PNG id is not a bitmap: the kinds of resource are apart.
    EXPECT_TRUE(config_.LoadBitmap(162).isNull());
}

// --- skin colours ---

TEST_F(ResourcesTest, SkinColoursComeFromTheSectionsOfTheSkinIndex) {
    WriteClient("Skins", "Skin", "1");
    const char* sections[] = {"ListCol_1", "ListBKCol_1",   "AudioCol_1",  "BackCol_1",
                              "LineCol_1", "PlayBackCol_1", "ComDlgLine_1"};
    for (int i = 0; i < 7; ++i) {
        WriteSkin(sections[i], "R", std::to_string(10 + i).c_str());
        WriteSkin(sections[i], "G", std::to_string(20 + i).c_str());
        WriteSkin(sections[i], "B", std::to_string(30 + i).c_str());
    }
    WriteSkin("ListCol_0", "R", "255");  // another skin's section is not read
    WriteSkin("SkinsConfig", "Count", "3");
    WriteSkin("SkinsConfig", "IsSelfLog", "1");
    config_.LoadSkin();
    EXPECT_EQ(config_.nSkinIndex, 1);
    EXPECT_EQ(config_.nSkinCount, 3);
    EXPECT_EQ(config_.bIsSelfLog, 1);
    const COLORREF* colors[] = {&g_clrSkinList,      &g_clrSkinListBk, &g_clrSkinAudio,
                                &g_clrSkinBack,      &g_clrSkinLine,   &g_clrSkinPlayBack,
                                &g_clrSkinComDlgLine};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(sections[i]);
        EXPECT_EQ(*colors[i], yav::MakeColorRef(10 + i, 20 + i, 30 + i));
    }
}

TEST_F(ResourcesTest, MissingSkinSectionsAreBlackAndValuesAreMaskedToEightBits) {
    WriteSkin("LineCol_0", "R", "257");
    WriteSkin("LineCol_0", "G", "-1");
    g_clrSkinList = 0x123456;
    config_.LoadSkinColors();
    EXPECT_EQ(g_clrSkinList, 0u);
    EXPECT_EQ(g_clrSkinLine, yav::MakeColorRef(1, 255, 0));
}

TEST_F(ResourcesTest, MetricsFollowTheScaleFactor) {
    ScaleGuard scale(1.5);
    config_.LoadSkinColors();
    EXPECT_DOUBLE_EQ(g_SkinMetrics.fExchangePW, 1.5);
    EXPECT_EQ(g_SkinMetrics.nSize, (std::array<int, 5>{54, 46, 45, 54, 45}));
    EXPECT_EQ(g_nCaptionHeight, 46);
    EXPECT_EQ(g_clrCaption, 0xED8533u);
    EXPECT_EQ(g_SkinMetrics.clrDefault[kSkinColorCaption], g_clrCaption);
    EXPECT_EQ(g_SkinMetrics.clrDefault[kSkinColorGreen], yav::MakeColorRef(62, 162, 64));
    EXPECT_EQ(g_SkinMetrics.clrDefault[kSkinColorLight], 0xDDDDDDu);
}

TEST_F(ResourcesTest, ShippedSkinIniGivesEveryColourForTheDefaultSkins) {
    config_.strSkinIni = QStringLiteral("skin.ini");  // seeded from the program folder
    for (const char* skin : {"0", "1"}) {
        SCOPED_TRACE(skin);
        WriteClient("Skins", "Skin", skin);
        config_.LoadSkin();
        for (COLORREF color : {g_clrSkinList, g_clrSkinListBk, g_clrSkinAudio, g_clrSkinBack,
                               g_clrSkinLine, g_clrSkinPlayBack, g_clrSkinComDlgLine}) {
            EXPECT_NE(color, 0u);
        }
    }
    EXPECT_GE(config_.nSkinCount, 2);
}

}  // namespace
