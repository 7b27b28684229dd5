// Builds the skin module's images from the image table: every row becomes a PNG at its
// design size under png/, bitmap/ or cursor/, every PNG row also a high-density image at twice
// the size under id + 1 (unless the table names id + 1 itself), and skins.qrc lists them all
// for rcc.
//
// usage: yav_skin_generator <images.tsv> <output folder>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

#include <cstdio>
#include <map>
#include <set>

#include "SkinArt.h"

namespace {

bool ReadTable(const QString& path, std::vector<skin::ImageSpec>* rows, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    std::set<int> ids;
    int lineNumber = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        if (line.trimmed().isEmpty() || line.startsWith(u'#') ||
            line.startsWith(QStringLiteral("id\t"))) {
            continue;
        }
        const QStringList cells = line.split(u'\t');
        if (cells.size() < 7) {
            *error = QStringLiteral("%1:%2: expected 7 or 8 columns").arg(path).arg(lineNumber);
            return false;
        }
        skin::ImageSpec spec;
        bool okId = false;
        bool okWidth = false;
        bool okHeight = false;
        spec.id = cells[0].toInt(&okId);
        spec.type = cells[1].trimmed();
        spec.width = cells[2].toInt(&okWidth);
        spec.height = cells[3].toInt(&okHeight);
        spec.style = cells[4].trimmed();
        spec.state = cells[5].trimmed();
        spec.glyph = cells[6].trimmed();
        spec.note = cells.size() > 7 ? cells[7].trimmed() : QString();
        if (!okId || !okWidth || !okHeight || spec.id <= 0 || spec.width <= 0 || spec.height <= 0 ||
            (spec.type != QStringLiteral("png") && spec.type != QStringLiteral("bitmap") &&
             spec.type != QStringLiteral("cursor"))) {
            *error = QStringLiteral("%1:%2: bad id, type or size").arg(path).arg(lineNumber);
            return false;
        }
        if (!ids.insert(spec.id * 4 + (spec.type == QStringLiteral("png")      ? 0
                                       : spec.type == QStringLiteral("bitmap") ? 1
                                                                               : 2))
                 .second) {
            *error = QStringLiteral("%1:%2: %3 %4 appears twice")
                         .arg(path)
                         .arg(lineNumber)
                         .arg(spec.type)
                         .arg(spec.id);
            return false;
        }
        rows->push_back(spec);
    }
    return true;
}

bool Save(const QImage& image, const QString& path, QString* error) {
    QImageWriter writer(path, "png");
    writer.setCompression(9);
    if (!writer.write(image)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Text in a few images needs fonts; no display is needed for that.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <images.tsv> <output folder>\n", argv[0]);
        return 2;
    }
    std::vector<skin::ImageSpec> rows;
    QString error;
    if (!ReadTable(QString::fromLocal8Bit(argv[1]), &rows, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    // Start from empty folders so that a row removed from the table leaves no image behind.
    const QDir out(QString::fromLocal8Bit(argv[2]));
    for (const char* folder : {"png", "bitmap", "cursor"}) {
        QDir(out.filePath(QString::fromLatin1(folder))).removeRecursively();
        out.mkpath(QString::fromLatin1(folder));
    }

    std::set<int> pngIds;
    for (const skin::ImageSpec& spec : rows) {
        if (spec.type == QStringLiteral("png")) {
            pngIds.insert(spec.id);
        }
    }

    QStringList files;
    int failures = 0;
    for (const skin::ImageSpec& spec : rows) {
        QString paintError;
        QImage image = skin::PaintImage(spec, 1, &paintError);
        if (!paintError.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(paintError));
            ++failures;
        }
        if (spec.type == QStringLiteral("cursor")) {
            const QPoint hotSpot = skin::CursorHotSpot(spec);
            image.setText(QStringLiteral("HotSpotX"), QString::number(hotSpot.x()));
            image.setText(QStringLiteral("HotSpotY"), QString::number(hotSpot.y()));
        }
        const QString name = QStringLiteral("%1/%2.png").arg(spec.type).arg(spec.id);
        if (!Save(image, out.filePath(name), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        files << name;
        if (spec.type == QStringLiteral("png") && pngIds.count(spec.id + 1) == 0) {
            const QString twin = QStringLiteral("png/%1.png").arg(spec.id + 1);
            if (!Save(skin::PaintImage(spec, 2, &paintError), out.filePath(twin), &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            files << twin;
        }
    }
    if (failures > 0) {
        return 1;
    }

    QFile qrc(out.filePath(QStringLiteral("skins.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream qrcOut(&qrc);
    qrcOut << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/skin\">\n";
    for (const QString& file : files) {
        qrcOut << "    <file>" << file << "</file>\n";
    }
    qrcOut << "  </qresource>\n</RCC>\n";
    return 0;
}
