// The skin module holds every image of the image table at its design size, and the
// high-density twin at id + 1 at twice that size; the contact sheet of all images, with their
// ids, is written to $YAV_TEST_OUTPUT_DIR for a person to look at.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QResource>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

struct SkinRow {
    int id = 0;
    QString type;
    QSize size;
    QString note;
};

std::vector<SkinRow> ReadImageTable() {
    std::vector<SkinRow> rows;
    QFile file(QStringLiteral(YAV_SOURCE_DIR "/resources/skin/images.tsv"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(QStringLiteral("id\t"))) {
            continue;
        }
        const QStringList cells = line.split(u'\t');
        if (cells.size() < 7) {
            ADD_FAILURE() << "short row: " << line.toStdString();
            continue;
        }
        rows.push_back({cells[0].toInt(), cells[1], QSize(cells[2].toInt(), cells[3].toInt()),
                        cells.size() > 7 ? cells[7] : QString()});
    }
    return rows;
}

class SkinModule : public ::testing::Test {
protected:
    static constexpr const char* kRoot = "/skin-sheet";
    void SetUp() override {
        ASSERT_TRUE(
            QResource::registerResource(QStringLiteral("Skins.rcc"), QString::fromLatin1(kRoot)));
    }
    void TearDown() override {
        QResource::unregisterResource(QStringLiteral("Skins.rcc"), QString::fromLatin1(kRoot));
    }
    static QImage Image(const QString& type, int id) {
        return QImage(
            QStringLiteral(":%1/skin/%2/%3.png").arg(QString::fromLatin1(kRoot), type).arg(id));
    }
    // A contact sheet of the images for a person to judge, in $YAV_TEST_OUTPUT_DIR.
    static void WriteContactSheet(const std::vector<SkinRow>& rows) {
        const int columns = 10;
        const QSize cell(150, 118);
        const int sheetRows = static_cast<int>((rows.size() + columns - 1) / columns);
        QImage sheet(columns * cell.width(), sheetRows * cell.height(), QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(11);
        p.setFont(font);
        for (size_t i = 0; i < rows.size(); ++i) {
            const SkinRow& row = rows[i];
            const QPoint origin(static_cast<int>(i % columns) * cell.width(),
                                static_cast<int>(i / columns) * cell.height());
            // A checkerboard shows both white and dark artwork and where an image is transparent.
            const QRect stage(origin + QPoint(5, 5), QSize(cell.width() - 10, 76));
            for (int y = stage.top(); y < stage.bottom(); y += 8) {
                for (int x = stage.left(); x < stage.right(); x += 8) {
                    const bool dark = ((x - stage.left()) / 8 + (y - stage.top()) / 8) % 2 == 0;
                    p.fillRect(QRect(x, y, 8, 8).intersected(stage),
                               dark ? QColor(154, 163, 174) : QColor(180, 188, 198));
                }
            }
            // Large images shrink to the cell; small ones grow by a whole factor (at most 4) with
            // their pixels kept sharp, so that a person can judge them.
            QImage image = Image(row.type, row.id);
            QSize shown = image.size();
            if (shown.width() > stage.width() || shown.height() > stage.height()) {
                shown.scale(stage.size(), Qt::KeepAspectRatio);
                image = image.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            } else {
                const int factor =
                    std::max(1, std::min({4, stage.width() / std::max(1, shown.width()),
                                          stage.height() / std::max(1, shown.height())}));
                shown *= factor;
                image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            }
            p.drawImage(stage.center() - QPoint(shown.width() / 2, shown.height() / 2), image);
            p.setPen(Qt::black);
            const QString title = QStringLiteral("%1 %2 %3x%4")
                                      .arg(row.type == QStringLiteral("png") ? QString() : row.type)
                                      .arg(row.id)
                                      .arg(row.size.width())
                                      .arg(row.size.height())
                                      .trimmed();
            p.drawText(QRect(origin.x() + 4, origin.y() + 82, cell.width() - 8, 14), Qt::AlignLeft,
                       title);
            p.setPen(QColor(90, 90, 90));
            p.drawText(
                QRect(origin.x() + 4, origin.y() + 96, cell.width() - 8, 22),
                Qt::AlignLeft | Qt::TextWordWrap,
                p.fontMetrics().elidedText(row.note, Qt::ElideRight, (cell.width() - 8) * 2));
        }
        p.end();
        const QString folder = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR", QDir::tempPath());
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/skin-contact-sheet.png");
        ASSERT_TRUE(sheet.save(path));
        std::printf("contact sheet: %s\n", qPrintable(path));
    }
};

TEST_F(SkinModule, HoldsEveryTableImageAtItsDesignSizeAndTwiceThatAtIdPlusOne) {
    const std::vector<SkinRow> rows = ReadImageTable();
    ASSERT_FALSE(rows.empty());
    std::set<int> pngIds;
    for (const SkinRow& row : rows) {
        if (row.type == QStringLiteral("png")) {
            pngIds.insert(row.id);
        }
    }
    for (const SkinRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.type.toStdString() << " " << row.id);
        const QImage image = Image(row.type, row.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), row.size);
        EXPECT_TRUE(image.hasAlphaChannel());
        if (row.type == QStringLiteral("png") && pngIds.count(row.id + 1) == 0) {
            EXPECT_EQ(Image(row.type, row.id + 1).size(), row.size * 2);
        }
    }
}

// Images that draw nothing would pass the size check; every image must show something. The
// contact sheet of them is written for review.
TEST_F(SkinModule, EveryImageShowsSomething) {
    const std::vector<SkinRow> rows = ReadImageTable();
    WriteContactSheet(rows);
    for (const SkinRow& row : rows) {
        const QImage image = Image(row.type, row.id).convertToFormat(QImage::Format_ARGB32);
        int visible = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                visible += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        EXPECT_GT(visible, 0) << row.type.toStdString() << " " << row.id;
    }
}

TEST_F(SkinModule, WritesTheContactSheet) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "Qt paints and converts an image this large on its own pool threads, whose "
                    "locks ThreadSanitizer cannot see (Qt is not instrumented)";
#endif
    const std::vector<SkinRow> rows = ReadImageTable();
    const int columns = 10;
    const QSize cell(150, 118);
    const int sheetRows = static_cast<int>((rows.size() + columns - 1) / columns);
    QImage sheet(columns * cell.width(), sheetRows * cell.height(), QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(11);
    p.setFont(font);
    for (size_t i = 0; i < rows.size(); ++i) {
        const SkinRow& row = rows[i];
        const QPoint origin(static_cast<int>(i % columns) * cell.width(),
                            static_cast<int>(i / columns) * cell.height());
        // A checkerboard shows both white and dark artwork and where an image is transparent.
        const QRect stage(origin + QPoint(5, 5), QSize(cell.width() - 10, 76));
        for (int y = stage.top(); y < stage.bottom(); y += 8) {
            for (int x = stage.left(); x < stage.right(); x += 8) {
                const bool dark = ((x - stage.left()) / 8 + (y - stage.top()) / 8) % 2 == 0;
                p.fillRect(QRect(x, y, 8, 8).intersected(stage),
                           dark ? QColor(154, 163, 174) : QColor(180, 188, 198));
            }
        }
        // Large images shrink to the cell; small ones grow by a whole factor (at most 4) with
        // their pixels kept sharp, so that a person can judge them.
        QImage image = Image(row.type, row.id);
        QSize shown = image.size();
        if (shown.width() > stage.width() || shown.height() > stage.height()) {
            shown.scale(stage.size(), Qt::KeepAspectRatio);
            image = image.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        } else {
            const int factor =
                std::max(1, std::min({4, stage.width() / std::max(1, shown.width()),
                                      stage.height() / std::max(1, shown.height())}));
            shown *= factor;
            image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        p.drawImage(stage.center() - QPoint(shown.width() / 2, shown.height() / 2), image);
        p.setPen(Qt::black);
        const QString title = QStringLiteral("%1 %2 %3x%4")
                                  .arg(row.type == QStringLiteral("png") ? QString() : row.type)
                                  .arg(row.id)
                                  .arg(row.size.width())
                                  .arg(row.size.height())
                                  .trimmed();
        p.drawText(QRect(origin.x() + 4, origin.y() + 82, cell.width() - 8, 14), Qt::AlignLeft,
                   title);
        p.setPen(QColor(90, 90, 90));
        p.drawText(QRect(origin.x() + 4, origin.y() + 96, cell.width() - 8, 22),
                   Qt::AlignLeft | Qt::TextWordWrap,
                   p.fontMetrics().elidedText(row.note, Qt::ElideRight, (cell.width() - 8) * 2));
    }
    p.end();
    const QString folder = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR", QDir::tempPath());
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/skin-contact-sheet.png");
    ASSERT_TRUE(sheet.save(path));
    std::printf("contact sheet: %s\n", qPrintable(path));
}

}  // namespace
