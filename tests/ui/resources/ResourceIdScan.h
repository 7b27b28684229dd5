#pragma once
// Reads the program's source code for the language text, skin PNG, bitmap and cursor ids it
// asks for, so that tests can check every one of them against the shipped modules.
//
// An id is seen when it is written in one of two ways (the rule the code follows; it is also
// written down at the top of resources/language/texts.tsv):
//   - as a number directly in the call of a loader: LoadLangString / GetString (texts),
//     LoadPNG / LoadPNGScaled (PNGs), LoadBitmap / LoadSkinBitmap (bitmaps), LoadCursor
//     (cursors), or of a toolkit operation that takes ids: CYavPngButton::LoadImages (every
//     argument), CYavDialogEx::SetBackgroundImage (the first), CKroGdiBtnImage::SetImages (the
//     first two of its four); either branch of a "?:" counts;
//   - anywhere else as the value of a named constant whose name says its kind: kText...,
//     kImage... (PNG), kBitmap..., kCursor... (constexpr / const / enum entry / #define, one
//     number or a braced list of numbers for an id table; a table mapping keys to ids, typed
//     with std::pair, a map, QMap or QHash, holds {key, id} entries).
// What breaks the rule is reported as a problem: a numeric constant with another name passed
// to a loader, a kind-named constant passed to a loader of another kind, and a kind-named
// constant whose value is not plain numbers.

#include <QString>

#include <map>
#include <set>
#include <vector>

namespace resource_scan {

enum class Kind { Text, Image, Bitmap, Cursor };

// Kind of a constant's name ("kTextOk" -> Text); false when the name carries no kind.
bool KindOfName(const QString& name, Kind* kind);
const char* KindName(Kind kind);

struct IdUse {
    Kind kind = Kind::Text;
    int id = 0;
    QString where;  // "file:line"
};

// A language text filled in with SafeFormat and the number of arguments the caller passes.
struct FormatUse {
    std::set<int> textIds;  // several when the text is a constant defined more than once
    int argumentCount = 0;
    QString where;
};

struct Problem {
    QString where;
    QString message;
};

// The code with comments and the contents of string and character literals blanked out
// (line breaks kept, so that offsets and line numbers stay those of the original).
QString BlankCommentsAndStrings(const QString& code);

class ResourceIdScan {
public:
    // Adds one source file; the path is used in messages only.
    void AddFile(const QString& path, const QString& code);
    // Adds every .h and .cpp file below the folder; paths in messages are relative to base.
    void AddTree(const QString& folder, const QString& base);
    // Reads what was added. Call once, after the last file.
    void Run();

    const std::vector<IdUse>& Uses() const { return uses_; }
    std::set<int> Ids(Kind kind) const;
    // PNGs loaded at the display scale: their id + 1 must hold the same image at twice the size.
    const std::set<int>& ScaledImageIds() const { return scaledImages_; }
    const std::vector<FormatUse>& Formats() const { return formats_; }
    const std::vector<Problem>& Problems() const { return problems_; }

private:
    struct SourceFile {
        QString path;
        QString code;  // comments and literals blanked
        std::vector<qsizetype> lineStarts;
    };
    struct Definition {
        QString name;
        int file = 0;
        qsizetype offset = 0;
        std::vector<int> values;
    };
    struct PendingFormat {
        int file = 0;
        QString textName;  // a kText constant, or empty when the id is a number
        int textId = 0;
        int argumentCount = 0;
        QString where;
    };

    QString Where(int file, qsizetype offset) const;
    void ReadDefinitions(int file);
    void ReadNumericConstants(int file);
    void ReadCalls(int file);
    void ReadFormats(int file);
    void UseArgument(int file, qsizetype offset, const QString& argument, Kind kind, bool scaled,
                     const QString& function);
    std::vector<int> ValuesOf(const QString& name, int file) const;

    std::vector<SourceFile> files_;
    std::vector<Definition> definitions_;
    std::set<QString> numericConstants_;             // names of every other numeric constant
    std::set<std::pair<int, QString>> scaledNames_;  // (file, kImage name) loaded scaled
    std::vector<PendingFormat> pendingFormats_;
    std::vector<IdUse> uses_;
    std::set<int> scaledImages_;
    std::vector<FormatUse> formats_;
    std::vector<Problem> problems_;
};

}  // namespace resource_scan
