// Every text and image id that the program's code asks for exists in the modules the build
// ships: the tree below client/ is read at test time, so that code landing later is checked
// too, and it must write its ids the way the scan sees them. The text table's translations
// agree in their printf conversions, and with the number of arguments their callers pass.

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ResourceIdScan.h"
#include "client/config/ConfigManger.h"
#include "client/config/LangFormat.h"
#include "platform/core/Scale.h"

namespace {

using resource_scan::Kind;
using resource_scan::ResourceIdScan;

const QString kSourceDir = QStringLiteral(YAV_SOURCE_DIR);

const ResourceIdScan& ProgramScan() {
    static const ResourceIdScan scan = [] {
        ResourceIdScan s;
        s.AddTree(kSourceDir + QStringLiteral("/client"), kSourceDir);
        s.Run();
        return s;
    }();
    return scan;
}

// Where the code asks for an id (the first place), for messages.
QString FirstUse(Kind kind, int id) {
    for (const auto& use : ProgramScan().Uses()) {
        if (use.kind == kind && use.id == id) {
            return use.where;
        }
    }
    return QString();
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

TEST(ProgramIdScan, TheCodeWritesItsIdsAsTheScanSeesThem) {
    const ResourceIdScan& scan = ProgramScan();
    for (const auto& problem : scan.Problems()) {
        ADD_FAILURE() << problem.where.toStdString() << ": " << problem.message.toStdString();
    }
    // The scan reads real code: the message box's own texts and images are among what it sees.
    EXPECT_TRUE(scan.Ids(Kind::Text).count(973)) << "text of the message box";
    EXPECT_TRUE(scan.Ids(Kind::Image).count(178)) << "primary button of the message box";
    EXPECT_TRUE(scan.Ids(Kind::Bitmap).count(100)) << "tooltip middle";
}

TEST_F(ProgramModules, EveryTextIdTheCodeUsesExistsInAllThreeLanguages) {
    const std::set<int> ids = ProgramScan().Ids(Kind::Text);
    ASSERT_FALSE(ids.empty());
    for (int language = 0; language < 3; ++language) {
        config_.SetLanguage(language);
        for (int id : ids) {
            EXPECT_NE(config_.GetString(id), QStringLiteral("Not found"))
                << "text " << id << " in language " << language << ", used at "
                << FirstUse(Kind::Text, id).toStdString();
        }
    }
}

TEST_F(ProgramModules, EveryImageIdTheCodeLoadsExists) {
    const ResourceIdScan& scan = ProgramScan();
    for (int id : scan.Ids(Kind::Image)) {
        EXPECT_NE(config_.LoadPNG(id), nullptr)
            << "PNG " << id << ", used at " << FirstUse(Kind::Image, id).toStdString();
    }
    for (int id : scan.Ids(Kind::Bitmap)) {
        EXPECT_FALSE(config_.LoadBitmap(id).isNull())
            << "bitmap " << id << ", used at " << FirstUse(Kind::Bitmap, id).toStdString();
    }
    for (int id : scan.Ids(Kind::Cursor)) {
        EXPECT_FALSE(config_.LoadCursor(id).pixmap().isNull())
            << "cursor " << id << ", used at " << FirstUse(Kind::Cursor, id).toStdString();
    }
}

// Above the scale of 1.1 a PNG loaded at the display scale is taken from id + 1, which must
// be the same picture at twice the size (not another image that happens to have that id).
TEST_F(ProgramModules, ImagesLoadedAtTheDisplayScaleHaveTheirDoubleSizeTwin) {
    for (int id : ProgramScan().ScaledImageIds()) {
        const QImage* image = config_.LoadPNG(id);
        const QImage* twin = config_.LoadPNG(id + 1);
        if (image == nullptr || twin == nullptr) {
            ADD_FAILURE() << "PNG " << id << " or " << id + 1 << " is missing, used at "
                          << FirstUse(Kind::Image, id).toStdString();
            continue;
        }
        EXPECT_EQ(twin->size(), image->size() * 2) << "PNG " << id;
    }
}

TEST_F(ProgramModules, FormattedTextsHaveOneConversionPerArgumentOfTheirCallers) {
    const auto& formats = ProgramScan().Formats();
    ASSERT_FALSE(formats.empty()) << "the conference manager formats texts";
    for (int language = 0; language < 3; ++language) {
        config_.SetLanguage(language);
        for (const auto& format : formats) {
            for (int id : format.textIds) {
                const QString text = config_.GetString(id);
                EXPECT_EQ(static_cast<int>(yav::FormatConversions(text).size()),
                          format.argumentCount)
                    << "text " << id << " (" << text.toStdString() << ") in language " << language
                    << ", formatted at " << format.where.toStdString();
            }
        }
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

// A button that answers a question names the action the question asks about, in every
// language: the leave button of the message box stands under both leave questions.
TEST_F(ProgramModules, AnswerButtonsNameTheActionOfTheirQuestion) {
    const struct {
        int button;
        int question;
    } cases[] = {{241, 367}, {241, 3301}};
    for (int language = 0; language < 3; ++language) {
        config_.SetLanguage(language);
        for (const auto& c : cases) {
            const QString button = config_.GetString(c.button);
            const QString question = config_.GetString(c.question);
            EXPECT_TRUE(question.contains(button, Qt::CaseInsensitive))
                << "button " << c.button << " (" << button.toStdString() << ") under question "
                << c.question << " (" << question.toStdString() << ") in language " << language;
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
