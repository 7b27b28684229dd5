// Every text and image id that the program's code asks for exists in the modules the build
// ships: the tree below client/ is read at test time, so that code landing later is checked
// too. The text table's translations agree in their printf conversions.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "client/app/ConfigManger.h"
#include "client/app/LangFormat.h"
#include "platform/core/Scale.h"

namespace {

const QString kSourceDir = QStringLiteral(YAV_SOURCE_DIR);

// The ids a piece of code passes as literal numbers, by the function it passes them to.
std::map<QString, std::set<int>> ExtractIds(const QString& code) {
    static const QRegularExpression call(QStringLiteral(
        "\\b(LoadLangString|GetString|LoadPNGScaled|LoadPNG|LoadSkinBitmap|LoadBitmap|LoadCursor)"
        "\\s*\\(\\s*(\\d+)\\s*\\)"));
    std::map<QString, std::set<int>> ids;
    for (auto it = call.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        ids[match.captured(1)].insert(match.captured(2).toInt());
    }
    return ids;
}

std::map<QString, std::set<int>> IdsUsedByTheProgram() {
    std::map<QString, std::set<int>> all;
    QDirIterator files(kSourceDir + QStringLiteral("/client"),
                       {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const auto& [function, ids] : ExtractIds(QString::fromUtf8(file.readAll()))) {
            all[function].insert(ids.begin(), ids.end());
        }
    }
    return all;
}

struct TextRow {
    int id = 0;
    QString texts[3];
    int line = 0;
};

std::vector<TextRow> ReadTextTable() {
    std::vector<TextRow> rows;
    QFile file(kSourceDir + QStringLiteral("/resources/language/texts.tsv"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    int lineNumber = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(QStringLiteral("id\t"))) {
            continue;
        }
        const QStringList cells = line.split(u'\t');
        TextRow row;
        row.id = cells[0].toInt();
        row.line = lineNumber;
        for (int i = 0; i < 3 && i + 1 < cells.size(); ++i) {
            row.texts[i] = cells[i + 1];
        }
        rows.push_back(row);
    }
    return rows;
}

// The program's own modules, from the program folder (the tests' working folder).
class ProgramModules : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        config_.strClientIni = dir_.filePath(QStringLiteral("Client.ini"));
        config_.strSkinIni = dir_.filePath(QStringLiteral("Skin.ini"));
        config_.strLanguageDll = QStringLiteral("Language.rcc");
        config_.strSkinsDll = QStringLiteral("Skins.rcc");
        config_.LoadLanguage();
        config_.LoadSkin();
    }
    QTemporaryDir dir_;
    CConfigManger config_;
};

TEST(ResourceIdScan, FindsLiteralIdsOfEveryLoader) {
    const auto ids = ExtractIds(QStringLiteral(
        "SetWindowText(LoadLangString(2056)); g_ConfigManager.GetString( 1 );\n"
        "btn.SetImages(cm.LoadPNG(162), cm.LoadPNGScaled(172));\n"
        "LoadSkinBitmap(96); LoadBitmap(98); LoadCursor(92); LoadLangString(kTitle);"));
    EXPECT_EQ(ids.at(QStringLiteral("LoadLangString")), (std::set<int>{2056}));
    EXPECT_EQ(ids.at(QStringLiteral("GetString")), (std::set<int>{1}));
    EXPECT_EQ(ids.at(QStringLiteral("LoadPNG")), (std::set<int>{162}));
    EXPECT_EQ(ids.at(QStringLiteral("LoadPNGScaled")), (std::set<int>{172}));
    EXPECT_EQ(ids.at(QStringLiteral("LoadSkinBitmap")), (std::set<int>{96}));
    EXPECT_EQ(ids.at(QStringLiteral("LoadBitmap")), (std::set<int>{98}));
    EXPECT_EQ(ids.at(QStringLiteral("LoadCursor")), (std::set<int>{92}));
}

TEST_F(ProgramModules, EveryTextIdTheCodeUsesExistsInAllThreeLanguages) {
    const auto used = IdsUsedByTheProgram();
    std::set<int> ids;
    for (const char* function : {"LoadLangString", "GetString"}) {
        const auto found = used.find(QString::fromLatin1(function));
        if (found != used.end()) {
            ids.insert(found->second.begin(), found->second.end());
        }
    }
    for (int language = 0; language < 3; ++language) {
        config_.SetLanguage(language);
        for (int id : ids) {
            EXPECT_NE(config_.GetString(id), QStringLiteral("Not found"))
                << "text " << id << " in language " << language;
        }
    }
}

TEST_F(ProgramModules, EveryImageIdTheCodeLoadsExists) {
    const auto used = IdsUsedByTheProgram();
    auto ids = [&](const char* function) {
        const auto found = used.find(QString::fromLatin1(function));
        return found != used.end() ? found->second : std::set<int>();
    };
    for (int id : ids("LoadPNG")) {
        EXPECT_NE(config_.LoadPNG(id), nullptr) << "PNG " << id;
    }
    for (int id : ids("LoadPNGScaled")) {
        EXPECT_NE(config_.LoadPNG(id), nullptr) << "PNG " << id;
        EXPECT_NE(config_.LoadPNG(id + 1), nullptr) << "high-density PNG " << id + 1;
    }
    std::set<int> bitmaps = ids("LoadBitmap");
    const std::set<int> skinBitmaps = ids("LoadSkinBitmap");
    bitmaps.insert(skinBitmaps.begin(), skinBitmaps.end());
    for (int id : bitmaps) {
        EXPECT_FALSE(config_.LoadBitmap(id).isNull()) << "bitmap " << id;
    }
    for (int id : ids("LoadCursor")) {
        EXPECT_FALSE(config_.LoadCursor(id).pixmap().isNull()) << "cursor " << id;
    }
}

TEST(TextTable, RowsHaveThreeTranslationsWithTheSameConversions) {
    const std::vector<TextRow> rows = ReadTextTable();
    ASSERT_FALSE(rows.empty());
    for (const TextRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "texts.tsv line " << row.line << ", id " << row.id);
        ASSERT_GT(row.id, 0);
        for (const QString& text : row.texts) {
            EXPECT_FALSE(text.trimmed().isEmpty());
        }
        // English fragments that callers join may carry a blank at an end; Chinese never.
        for (const QString& text : {row.texts[0], row.texts[2]}) {
            EXPECT_EQ(text.toStdString(), text.trimmed().toStdString()) << "blanks at an end";
        }
        const std::string conversions = yav::FormatConversions(row.texts[0]);
        EXPECT_EQ(conversions.find('?'), std::string::npos) << row.texts[0].toStdString();
        EXPECT_EQ(yav::FormatConversions(row.texts[1]), conversions) << row.texts[1].toStdString();
        EXPECT_EQ(yav::FormatConversions(row.texts[2]), conversions) << row.texts[2].toStdString();
    }
}

TEST(TextTable, RowsNeverShareAnId) {
    // A row takes its id and the two after it; a second row there would hide a translation.
    std::map<int, int> owner;  // text id -> row id
    for (const TextRow& row : ReadTextTable()) {
        for (int language = 0; language < 3; ++language) {
            const auto [it, inserted] = owner.emplace(row.id + language, row.id);
            EXPECT_TRUE(inserted) << "row " << row.id << " overlaps row " << it->second;
        }
    }
}

TEST_F(ProgramModules, ModuleTextsAreTheTableTexts) {
    const std::vector<TextRow> rows = ReadTextTable();
    for (int language = 0; language < 3; ++language) {
        config_.SetLanguage(language);
        for (const TextRow& row : rows) {
            QString expected = row.texts[language];
            expected.replace(QStringLiteral("\\n"), QStringLiteral("\n"))
                .replace(QStringLiteral("\\r"), QStringLiteral("\r"))
                .replace(QStringLiteral("\\t"), QStringLiteral("\t"));
            EXPECT_EQ(config_.GetString(row.id).toStdString(), expected.left(259).toStdString())
                << "text " << row.id;
        }
    }
}

}  // namespace
