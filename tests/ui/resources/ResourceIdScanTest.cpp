// The id scan on small pieces of code: every way the rule allows an id to be written is seen,
// what the rule forbids is reported with its place, and comments and strings are not code.

#include <gtest/gtest.h>

#include "ResourceIdScan.h"

namespace {

using resource_scan::Kind;
using resource_scan::ResourceIdScan;

struct ScannedFile {
    const char* path;
    const char* code;
};

ResourceIdScan Scan(std::initializer_list<ScannedFile> files) {
    ResourceIdScan scan;
    for (const ScannedFile& file : files) {
        scan.AddFile(QString::fromLatin1(file.path), QString::fromUtf8(file.code));
    }
    scan.Run();
    return scan;
}

std::string Problems(const ResourceIdScan& scan) {
    std::string text;
    for (const auto& problem : scan.Problems()) {
        text += (problem.where + QStringLiteral(": ") + problem.message).toStdString() + "\n";
    }
    return text;
}

struct LiteralCase {
    const char* code;
    Kind kind;
    std::set<int> ids;
    std::set<int> scaled;
};

class LiteralIds : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(LiteralIds, AreSeenWithTheirKind) {
    const LiteralCase& c = GetParam();
    const ResourceIdScan scan = Scan({{"a.cpp", c.code}});
    EXPECT_EQ(scan.Ids(c.kind), c.ids) << c.code;
    EXPECT_EQ(scan.ScaledImageIds(), c.scaled) << c.code;
    EXPECT_TRUE(scan.Problems().empty()) << Problems(scan);
    for (Kind other : {Kind::Text, Kind::Image, Kind::Bitmap, Kind::Cursor}) {
        if (other != c.kind) {
            EXPECT_TRUE(scan.Ids(other).empty()) << c.code << " gave " << KindName(other);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calls, LiteralIds,
    ::testing::Values(
        LiteralCase{"SetWindowText(LoadLangString(2056));", Kind::Text, {2056}, {}},
        LiteralCase{"g_ConfigManager.GetString( 1 );", Kind::Text, {1}, {}},
        LiteralCase{"m_p = g_ConfigManager.LoadPNG(162u);", Kind::Image, {162}, {}},
        LiteralCase{"m_p = cm.LoadPNGScaled(172);", Kind::Image, {172}, {172}},
        LiteralCase{"LoadSkinBitmap(96); LoadBitmap(98);", Kind::Bitmap, {96, 98}, {}},
        LiteralCase{"QCursor c = LoadCursor(92);", Kind::Cursor, {92}, {}},
        // Toolkit operations that take ids; 0 keeps an image and is no id.
        LiteralCase{
            "m_btn.LoadImages(178, 176, 176, 0, 0, 0, 0);", Kind::Image, {176, 178}, {176, 178}},
        LiteralCase{"SetBackgroundImage(502, TRUE);", Kind::Image, {502}, {502}},
        LiteralCase{
            "m_btnImg.SetImages(1200, 1202, TRUE, RGB(1, 2, 3));", Kind::Image, {1200, 1202}, {}},
        // Both branches of a choice.
        LiteralCase{"LoadPNG(on ? 900 : (hover ? 902 : 904));", Kind::Image, {900, 902, 904}, {}},
        LiteralCase{"LoadLangString(a::b ? 10 : 13)", Kind::Text, {10, 13}, {}}));

// Loaded images, parameters and members carrying ids from elsewhere: neither ids nor problems.
TEST(ResourceIdScan, ArgumentsThatAreNoIdConstantsAreLeftAlone) {
    const ResourceIdScan scan =
        Scan({{"a.cpp",
               "constexpr int kMargin = 16;\n"
               "void Tip::Create(UINT bitmapId) { LoadSkinBitmap(bitmapId); }\n"
               "SetWindowText(LoadLangString(place.text));\n"
               "SetWindowText(LoadLangString(m_nTextId));\n"
               "btn.SetImages(m_pA, m_pB, m_pB, nullptr, nullptr, "
               "nullptr, nullptr);\n"
               "slider.SetImages(back, channel, thumb);\n"
               "QImage* CConfigManger::LoadPNG(std::uint32_t id) {\n"
               "  return LoadPNG(id + 1); }\n"
               "profile::GetString(section, key, \"\", 260, path);\n"
               "LoadImages();\n"}});
    for (Kind kind : {Kind::Text, Kind::Image, Kind::Bitmap, Kind::Cursor}) {
        EXPECT_TRUE(scan.Ids(kind).empty()) << KindName(kind);
    }
    EXPECT_TRUE(scan.Problems().empty()) << Problems(scan);
}

TEST(ResourceIdScan, NamedConstantsInEveryFormAreCollected) {
    const ResourceIdScan scan = Scan({
        {"ui/Dlg.h",
         "class Dlg {\n"
         "    static constexpr UINT kImageMark = 860;\n"
         "    enum { kTextTitle = 3079, kTextSub = 3082, kOther = 7 };\n"
         "};\n"
         "#define kCursorDrag 92\n"},
        {"ui/Dlg.cpp",
         "namespace {\n"
         "constexpr int kTextOk = 4;\n"
         "const int kTexts[] = {7, 13,\n 241};\n"
         "constexpr std::array<UINT, 2> kImages{{176, 178}};\n"
         "constexpr std::initializer_list<UINT> kBitmapTip = {98, 100, 102};\n"
         "constexpr UINT kImageNone = 0;\n"
         "constexpr std::array<std::pair<int, int>, 3> kTextByError = {{\n"
         "    {-1, 1864}, {0x1000, 3130}, {kCodeLocked, 970}}};\n"
         "const QMap<int, UINT> kImageByState = {{1, 600u}, {2, 602}};\n"
         "}\n"
         "void Dlg::Init() { if (kTextOk == id) {} for (UINT i : kImages) {} }\n"},
    });
    EXPECT_TRUE(scan.Problems().empty()) << Problems(scan);
    EXPECT_EQ(scan.Ids(Kind::Text), (std::set<int>{4, 7, 13, 241, 970, 1864, 3079, 3082, 3130}));
    EXPECT_EQ(scan.Ids(Kind::Image), (std::set<int>{176, 178, 600, 602, 860}));
    EXPECT_EQ(scan.Ids(Kind::Bitmap), (std::set<int>{98, 100, 102}));
    EXPECT_EQ(scan.Ids(Kind::Cursor), (std::set<int>{92}));
    EXPECT_TRUE(scan.ScaledImageIds().empty()) << "none is loaded at the display scale";
}

TEST(ResourceIdScan, CommentsAndStringsAreNotCode) {
    const ResourceIdScan scan =
        Scan({{"a.cpp",
               "// LoadPNG(11); constexpr int kTextOld = 12;\n"
               "/* LoadLangString(13);\n constexpr UINT kImageOld = 14; */\n"
               "Log(\"LoadLangString(15) kTextX = 16;\");\n"
               "auto raw = R\"x(LoadPNG(17) \")\" kTextY = 18;)x\";\n"
               "const int million = 1'000'000; char q = '\\'';\n"
               "LoadLangString(19);\n"}});
    EXPECT_EQ(scan.Ids(Kind::Text), (std::set<int>{19}));
    EXPECT_TRUE(scan.Ids(Kind::Image).empty());
    EXPECT_TRUE(scan.Problems().empty()) << Problems(scan);
    ASSERT_EQ(scan.Uses().size(), 1U);
    EXPECT_EQ(scan.Uses()[0].where.toStdString(), "a.cpp:7") << "line numbers survive blanking";
}

TEST(ResourceIdScan, ConstantsLoadedAtTheDisplayScaleAreScaledInTheirOwnFile) {
    const ResourceIdScan scan = Scan({
        {"a.cpp",
         "constexpr UINT kImageButton = 300;\n"
         "constexpr UINT kImageButtons[] = {310, 320};\n"
         "constexpr UINT kImageIcon = 330;\n"
         "m_btn.LoadImages(kImageButton, Dlg::kImageButton, 0, 0, 0, 0, 0);\n"
         "m_btn.LoadImages(kImageButtons[i], 0, 0, 0, 0, 0, 0);\n"
         "m_p = LoadPNG(kImageIcon);\n"},
        {"b.cpp",
         "constexpr UINT kImageButton = 400;\n"
         "m_p = LoadPNG(kImageButton);\n"},
    });
    EXPECT_TRUE(scan.Problems().empty()) << Problems(scan);
    EXPECT_EQ(scan.ScaledImageIds(), (std::set<int>{300, 310, 320}));
    EXPECT_EQ(scan.Ids(Kind::Image), (std::set<int>{300, 310, 320, 330, 400}));
}

struct ProblemCase {
    const char* code;
    const char* expected;  // part of the message
    const char* where;
};

class RuleBroken : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(RuleBroken, IsReportedWithItsPlace) {
    const ProblemCase& c = GetParam();
    const ResourceIdScan scan = Scan({{"ui/x.cpp", c.code}});
    ASSERT_EQ(scan.Problems().size(), 1U) << c.code << "\n" << Problems(scan);
    EXPECT_NE(scan.Problems()[0].message.indexOf(QString::fromLatin1(c.expected)), -1)
        << Problems(scan);
    EXPECT_EQ(scan.Problems()[0].where.toStdString(), c.where);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuleBroken,
    ::testing::Values(
        // A numeric constant the scan cannot tell is an id.
        ProblemCase{"constexpr UINT kMarkImage = 860;\nm_p = LoadPNG(kMarkImage);",
                    "kMarkImage is passed to LoadPNG: name it kImage", "ui/x.cpp:2"},
        ProblemCase{"enum { IDB_LEFT = 98 };\n\nLoadSkinBitmap(IDB_LEFT);", "name it kBitmap",
                    "ui/x.cpp:3"},
        ProblemCase{"#define IDS_HELLO 12\nLoadLangString(on ? IDS_HELLO : 4);",
                    "IDS_HELLO is passed to LoadLangString: name it kText", "ui/x.cpp:2"},
        ProblemCase{"constexpr UINT kLeft = 98;\nm_btn.LoadImages(kLeft, 0, 0, 0, 0, 0, 0);",
                    "kLeft is passed to LoadImages", "ui/x.cpp:2"},
        // A kind-named constant of another kind.
        ProblemCase{"constexpr UINT kImageScrollBar = 96;\nm_bmp = LoadBitmap(kImageScrollBar);",
                    "kImageScrollBar names a PNG id but is passed to LoadBitmap", "ui/x.cpp:2"},
        ProblemCase{"constexpr int kTextOk = 4;\nLoadPNG(x ? kTextOk : 0);",
                    "kTextOk names a text id", "ui/x.cpp:2"},
        // A kind-named constant whose ids cannot be read.
        ProblemCase{"\nconstexpr COLORREF kTextColour = 0x333333;", "kTextColour = 0x333333",
                    "ui/x.cpp:2"},
        ProblemCase{"constexpr UINT kImageBase = 600;\nconstexpr UINT kImageNext = kImageBase + 2;",
                    "kImageNext = kImageBase + 2", "ui/x.cpp:2"},
        ProblemCase{"constexpr UINT kCursorHand = static_cast<UINT>(93);", "kCursorHand",
                    "ui/x.cpp:1"},
        ProblemCase{"const std::map<int, int> kTextByCode = {{1, 1864}, {2, 0x10}};",
                    "{key, id} entries", "ui/x.cpp:1"},
        ProblemCase{"constexpr std::pair<int, int> kTextsByType[] = {{1, 760, 763}};",
                    "kTextsByType", "ui/x.cpp:1"}));

TEST(ResourceIdScan, FormatsCountTheArgumentsOfTheirCallers) {
    const ResourceIdScan scan = Scan({
        {"a.cpp",
         "constexpr int kTextLimit = 2245;\n"
         "ShowBox(yav::SafeFormat(LoadLangString(5435), {minutesLeft}), 0);\n"
         "text = SafeFormat(LoadLangString(kTextLimit), {a, Join(b, c), {d}});\n"
         "text = SafeFormat(g_ConfigManager.GetString(5444), {});\n"
         "text = SafeFormat(format, {argument});\n"
         "text = SafeFormat(LoadLangString(5450), args);\n"},
    });
    EXPECT_TRUE(scan.Problems().empty()) << Problems(scan);
    ASSERT_EQ(scan.Formats().size(), 3U);
    EXPECT_EQ(scan.Formats()[0].textIds, (std::set<int>{5435}));
    EXPECT_EQ(scan.Formats()[0].argumentCount, 1);
    EXPECT_EQ(scan.Formats()[0].where.toStdString(), "a.cpp:2");
    EXPECT_EQ(scan.Formats()[1].textIds, (std::set<int>{2245}));
    EXPECT_EQ(scan.Formats()[1].argumentCount, 3);
    EXPECT_EQ(scan.Formats()[2].textIds, (std::set<int>{5444}));
    EXPECT_EQ(scan.Formats()[2].argumentCount, 0);
}

}  // namespace
