#include "ResourceIdScan.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace resource_scan {

namespace {

// Names of id constants: the kind, an optional plural "s", then anything that starts a new
// word ("kTextOk", "kImages", "kBitmap_2"; not "kTexture").
const QString kKindNamePattern = QStringLiteral("k(Text|Image|Bitmap|Cursor)s?(?:[A-Z0-9_]\\w*)?");

bool IsIdentifierChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// Blanks from..to (exclusive) of out, keeping line breaks.
void Blank(QString& out, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to && i < out.size(); ++i) {
        if (out[i] != u'\n') {
            out[i] = u' ';
        }
    }
}

struct Argument {
    QString text;  // trimmed
    qsizetype offset = 0;
};

Argument Trimmed(const QString& code, qsizetype from, qsizetype to) {
    while (from < to && code[from].isSpace()) {
        ++from;
    }
    return {code.mid(from, to - from).trimmed(), from};
}

// The arguments of the call whose "(" stands at open. False without a matching ")".
bool SplitArguments(const QString& code, qsizetype open, std::vector<Argument>* arguments) {
    int depth = 0;
    qsizetype start = open + 1;
    for (qsizetype i = open; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'(' || c == u'[' || c == u'{') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'}') {
            --depth;
            if (depth == 0) {
                Argument last = Trimmed(code, start, i);
                if (!arguments->empty() || !last.text.isEmpty()) {
                    arguments->push_back(std::move(last));
                }
                return true;
            }
        } else if (c == u',' && depth == 1) {
            arguments->push_back(Trimmed(code, start, i));
            start = i + 1;
        }
    }
    return false;
}

// Items of a braced list "{a, b(c, d)}": 2; "{}": 0.
int CountBracedItems(const QString& braced) {
    std::vector<Argument> items;
    if (!SplitArguments(braced, 0, &items)) {
        return -1;
    }
    return static_cast<int>(items.size());
}

// The first position outside all brackets at which found(position, character) holds, or -1.
template <typename Found>
qsizetype FindOutsideBrackets(const QString& text, Found found) {
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'(' || c == u'[' || c == u'{') {
            ++depth;
        } else if (c == u')' || c == u']' || c == u'}') {
            --depth;
        } else if (depth == 0 && found(i, c)) {
            return i;
        }
    }
    return -1;
}

// Position of the ':' that closes the "?" before text (nested "?:" skipped, "::" is no
// separator); -1 when there is none.
qsizetype FindBranchColon(const QString& text) {
    int nested = 0;
    return FindOutsideBrackets(text, [&](qsizetype i, QChar c) {
        if (c == u'?') {
            ++nested;
        } else if (c == u':' && !(i + 1 < text.size() && text[i + 1] == u':') &&
                   !(i > 0 && text[i - 1] == u':')) {
            if (nested == 0) {
                return true;
            }
            --nested;
        }
        return false;
    });
}

QString WithoutOuterParentheses(QString text) {
    text = text.trimmed();
    while (text.startsWith(u'(') && text.endsWith(u')')) {
        // Only when the first "(" closes at the very end: "(a) + (b)" keeps its parentheses.
        int depth = 0;
        qsizetype close = -1;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == u'(') {
                ++depth;
            } else if (text[i] == u')' && --depth == 0) {
                close = i;
                break;
            }
        }
        if (close != text.size() - 1) {
            break;
        }
        text = text.mid(1, text.size() - 2).trimmed();
    }
    return text;
}

// The values an argument may take: both branches of a "c ? a : b", else the argument itself.
void Branches(const QString& argument, std::vector<QString>* out) {
    const QString text = WithoutOuterParentheses(argument);
    const qsizetype question =
        FindOutsideBrackets(text, [](qsizetype, QChar c) { return c == u'?'; });
    if (question < 0) {
        out->push_back(text);
        return;
    }
    const QString rest = text.mid(question + 1);
    const qsizetype colon = FindBranchColon(rest);
    if (colon < 0) {
        out->push_back(text);
        return;
    }
    Branches(rest.left(colon), out);
    Branches(rest.mid(colon + 1), out);
}

std::vector<int> NumbersIn(const QString& text) {
    static const QRegularExpression number(QStringLiteral("\\b(\\d+)[uUlL]*\\b"));
    std::vector<int> values;
    for (auto it = number.globalMatch(text); it.hasNext();) {
        values.push_back(it.next().captured(1).toInt());
    }
    return values;
}

// Ids of a plain initializer: one number or a braced list of numbers (nested braces allowed).
bool ReadPlainIds(const QString& init, std::vector<int>* values) {
    QString rest = init;
    rest.remove(QRegularExpression(QStringLiteral("\\b\\d+[uUlL]*\\b|[\\s{},]")));
    *values = NumbersIn(init);
    return rest.isEmpty() && !values->empty();
}

// Ids of a keyed table: every innermost brace group is one {key, id} entry; the key may be
// anything, the id is a plain number.
bool ReadKeyedIds(const QString& init, std::vector<int>* values) {
    static const QRegularExpression entry(QStringLiteral("\\{([^{}]*)\\}"));
    static const QRegularExpression id(QStringLiteral("^(\\d+)[uUlL]*$"));
    values->clear();
    for (auto it = entry.globalMatch(init); it.hasNext();) {
        const QStringList parts = it.next().captured(1).split(u',');
        const QRegularExpressionMatch number =
            parts.size() == 2 ? id.match(parts[1].trimmed()) : QRegularExpressionMatch();
        if (parts[0].trimmed().isEmpty() || !number.hasMatch()) {
            return false;
        }
        values->push_back(number.captured(1).toInt());
    }
    return !values->empty();
}

}  // namespace

bool KindOfName(const QString& name, Kind* kind) {
    static const QRegularExpression whole(QRegularExpression::anchoredPattern(kKindNamePattern));
    const QRegularExpressionMatch match = whole.match(name);
    if (!match.hasMatch()) {
        return false;
    }
    const QString word = match.captured(1);
    *kind = word == u"Text"     ? Kind::Text
            : word == u"Image"  ? Kind::Image
            : word == u"Bitmap" ? Kind::Bitmap
                                : Kind::Cursor;
    return true;
}

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Text:
            return "text";
        case Kind::Image:
            return "PNG";
        case Kind::Bitmap:
            return "bitmap";
        case Kind::Cursor:
            return "cursor";
    }
    return "?";
}

QString BlankCommentsAndStrings(const QString& code) {
    QString out = code;
    const qsizetype n = code.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = code[i];
        const QChar next = i + 1 < n ? code[i + 1] : QChar();
        if (c == u'/' && next == u'/') {
            qsizetype end = code.indexOf(u'\n', i);
            end = end < 0 ? n : end;
            Blank(out, i, end);
            i = end;
            continue;
        }
        if (c == u'/' && next == u'*') {
            qsizetype end = code.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? n : end + 2;
            Blank(out, i, end);
            i = end;
            continue;
        }
        if (c == u'"') {
            // A raw string: R"delimiter( ... )delimiter", with an optional u8, u, U or L.
            qsizetype word = i;
            while (word > 0 && IsIdentifierChar(code[word - 1])) {
                --word;
            }
            const QString prefix = code.mid(word, i - word);
            if (prefix == u"R" || prefix == u"u8R" || prefix == u"uR" || prefix == u"UR" ||
                prefix == u"LR") {
                const qsizetype open = code.indexOf(u'(', i);
                if (open > i) {
                    const QString closing =
                        u')' + code.mid(i + 1, open - i - 1) + QStringLiteral("\"");
                    qsizetype end = code.indexOf(closing, open);
                    end = end < 0 ? n : end + closing.size();
                    Blank(out, i + 1, end - 1);
                    i = end;
                    continue;
                }
            }
        }
        if (c == u'"' || c == u'\'') {
            // A quote between digits is a digit separator (1'000), not a character literal.
            if (c == u'\'' && i > 0 && code[i - 1].isLetterOrNumber() && next.isLetterOrNumber()) {
                ++i;
                continue;
            }
            qsizetype j = i + 1;
            while (j < n && code[j] != c && code[j] != u'\n') {
                j += code[j] == u'\\' ? 2 : 1;
            }
            Blank(out, i + 1, std::min(j, n));
            i = j + 1;
            continue;
        }
        ++i;
    }
    return out;
}

void ResourceIdScan::AddFile(const QString& path, const QString& code) {
    SourceFile file;
    file.path = path;
    file.code = BlankCommentsAndStrings(code);
    file.lineStarts.push_back(0);
    for (qsizetype i = 0; i < file.code.size(); ++i) {
        if (file.code[i] == u'\n') {
            file.lineStarts.push_back(i + 1);
        }
    }
    files_.push_back(std::move(file));
}

void ResourceIdScan::AddTree(const QString& folder, const QString& base) {
    QStringList paths;
    QDirIterator it(folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        paths.push_back(it.next());
    }
    paths.sort();
    const QDir baseDir(base);
    for (const QString& path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            AddFile(baseDir.relativeFilePath(path), QString::fromUtf8(file.readAll()));
        } else {
            problems_.push_back({path, QStringLiteral("cannot be read")});
        }
    }
}

QString ResourceIdScan::Where(int file, qsizetype offset) const {
    const std::vector<qsizetype>& starts = files_[static_cast<size_t>(file)].lineStarts;
    const auto line = std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin();
    return QStringLiteral("%1:%2").arg(files_[static_cast<size_t>(file)].path).arg(line);
}

void ResourceIdScan::ReadNumericConstants(int file) {
    const QString& code = files_[static_cast<size_t>(file)].code;
    static const QRegularExpression constant(QStringLiteral(
        "\\b(?:constexpr|const)\\b[^;{}()=]*?\\b([A-Za-z_]\\w*)\\s*(?:\\[[^\\]]*\\])?\\s*"
        "(?:=\\s*\\{?|\\{)\\s*\\d+[uUlL]*\\s*\\}?\\s*[;,]"));
    static const QRegularExpression enumBody(QStringLiteral("\\benum\\b[^{;]*\\{([^}]*)\\}"));
    static const QRegularExpression entry(QStringLiteral("\\b([A-Za-z_]\\w*)\\s*=\\s*\\d+"));
    static const QRegularExpression define(
        QStringLiteral("#[ \\t]*define[ \\t]+([A-Za-z_]\\w*)[ \\t]+\\d+[uUlL]*[ \\t]*$"),
        QRegularExpression::MultilineOption);
    Kind kind = Kind::Text;
    auto add = [&](const QString& name) {
        if (!KindOfName(name, &kind)) {
            numericConstants_.insert(name);
        }
    };
    for (auto it = constant.globalMatch(code); it.hasNext();) {
        add(it.next().captured(1));
    }
    for (auto it = enumBody.globalMatch(code); it.hasNext();) {
        const QString body = it.next().captured(1);
        for (auto e = entry.globalMatch(body); e.hasNext();) {
            add(e.next().captured(1));
        }
    }
    for (auto it = define.globalMatch(code); it.hasNext();) {
        add(it.next().captured(1));
    }
}

void ResourceIdScan::ReadDefinitions(int file) {
    const QString& code = files_[static_cast<size_t>(file)].code;
    static const QRegularExpression name(QStringLiteral("\\b") + kKindNamePattern +
                                         QStringLiteral("\\b"));
    static const QRegularExpression defineBefore(QStringLiteral("#[ \\t]*define[ \\t]+$"));
    // Tables that map keys (codes, types) to ids.
    static const QRegularExpression keyedType(
        QStringLiteral("\\b(?:pair|map|unordered_map|QMap|QHash)\\s*<"));
    for (auto it = name.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qsizetype begin = match.capturedStart(0);
        qsizetype j = match.capturedEnd(0);
        qsizetype initStart = -1;
        qsizetype initEnd = -1;
        const qsizetype lineStart = code.lastIndexOf(u'\n', begin) + 1;
        if (defineBefore.match(code.mid(lineStart, begin - lineStart)).hasMatch()) {
            initStart = j;
            initEnd = code.indexOf(u'\n', j);
            initEnd = initEnd < 0 ? code.size() : initEnd;
        } else {
            while (j < code.size() && code[j].isSpace()) {
                ++j;
            }
            if (j < code.size() && code[j] == u'[') {
                const qsizetype close = code.indexOf(u']', j);
                if (close < 0) {
                    continue;
                }
                j = close + 1;
                while (j < code.size() && code[j].isSpace()) {
                    ++j;
                }
            }
            if (j < code.size() && code[j] == u'=' &&
                (j + 1 >= code.size() || code[j + 1] != u'=')) {
                initStart = j + 1;
            } else if (j < code.size() && code[j] == u'{') {
                initStart = j;
            } else {
                continue;  // a use, not a definition
            }
            int depth = 0;
            for (initEnd = initStart; initEnd < code.size(); ++initEnd) {
                const QChar c = code[initEnd];
                if (c == u'(' || c == u'[' || c == u'{') {
                    ++depth;
                } else if (c == u')' || c == u']' || c == u'}') {
                    if (depth == 0) {
                        break;
                    }
                    --depth;
                } else if (depth == 0 && (c == u';' || c == u',')) {
                    break;
                }
            }
        }
        const QString init = code.mid(initStart, initEnd - initStart);
        // The declared type: from the end of the statement or block before the name.
        qsizetype statement = begin;
        while (statement > 0 && code[statement - 1] != u';' && code[statement - 1] != u'{' &&
               code[statement - 1] != u'}') {
            --statement;
        }
        const bool keyed = keyedType.match(code.mid(statement, begin - statement)).hasMatch();
        std::vector<int> values;
        const bool readable = keyed ? ReadKeyedIds(init, &values) : ReadPlainIds(init, &values);
        if (!readable) {
            problems_.push_back(
                {Where(file, begin),
                 QStringLiteral("%1 = %2: an id constant holds plain numbers (one, a braced list, "
                                "or {key, id} entries of a pair or map table), so that every id "
                                "it holds is checked")
                     .arg(match.captured(0), init.simplified())});
            continue;
        }
        // 0 stands for "no image" (kImageNone = 0), never for an id.
        values.erase(std::remove(values.begin(), values.end(), 0), values.end());
        definitions_.push_back({match.captured(0), file, begin, std::move(values)});
    }
}

void ResourceIdScan::UseArgument(int file, qsizetype offset, const QString& argument, Kind kind,
                                 bool scaled, const QString& function) {
    static const QRegularExpression literal(QStringLiteral("^(\\d+)[uUlL]*$"));
    static const QRegularExpression identifier(
        QStringLiteral("^(?:this\\s*->\\s*)?(?:::)?(?:[A-Za-z_]\\w*\\s*::\\s*)*([A-Za-z_]\\w*)$"));
    static const QRegularExpression kindName(QStringLiteral("\\b") + kKindNamePattern +
                                             QStringLiteral("\\b"));
    auto useName = [&](const QString& name) {
        Kind named = Kind::Text;
        if (!KindOfName(name, &named)) {
            return false;
        }
        if (named != kind) {
            problems_.push_back(
                {Where(file, offset), QStringLiteral("%1 names a %2 id but is passed to %3, which "
                                                     "loads a %4")
                                          .arg(name, QString::fromLatin1(KindName(named)), function,
                                               QString::fromLatin1(KindName(kind)))});
        } else if (scaled) {
            scaledNames_.insert({file, name});
        }
        return true;
    };
    std::vector<QString> branches;
    Branches(argument, &branches);
    for (const QString& branch : branches) {
        const QRegularExpressionMatch number = literal.match(branch);
        if (number.hasMatch()) {
            const int id = number.captured(1).toInt();
            if (id != 0) {
                uses_.push_back({kind, id, Where(file, offset)});
                if (scaled) {
                    scaledImages_.insert(id);
                }
            }
            continue;
        }
        const QRegularExpressionMatch single = identifier.match(branch);
        if (single.hasMatch()) {
            const QString name = single.captured(1);
            if (!useName(name) && numericConstants_.count(name) != 0) {
                problems_.push_back(
                    {Where(file, offset),
                     QStringLiteral("the constant %1 is passed to %2: name it k%3... so that "
                                    "the id is checked")
                         .arg(name, function,
                              QString::fromLatin1(kind == Kind::Text     ? "Text"
                                                  : kind == Kind::Image  ? "Image"
                                                  : kind == Kind::Bitmap ? "Bitmap"
                                                                         : "Cursor"))});
            }
            continue;
        }
        for (auto it = kindName.globalMatch(branch); it.hasNext();) {
            useName(it.next().captured(0));
        }
    }
}

void ResourceIdScan::ReadCalls(int file) {
    const QString& code = files_[static_cast<size_t>(file)].code;
    static const QRegularExpression call(QStringLiteral(
        "\\b(LoadLangString|GetString|LoadPNGScaled|LoadPNG|LoadSkinBitmap|LoadBitmap|LoadCursor|"
        "LoadImages|SetBackgroundImage|SetImages)\\s*\\("));
    for (auto it = call.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString function = match.captured(1);
        std::vector<Argument> args;
        if (!SplitArguments(code, match.capturedEnd(0) - 1, &args) || args.empty()) {
            continue;
        }
        auto use = [&](size_t index, Kind kind, bool scaled) {
            UseArgument(file, args[index].offset, args[index].text, kind, scaled, function);
        };
        if (function == u"LoadLangString" || function == u"GetString") {
            use(0, Kind::Text, false);
        } else if (function == u"LoadPNG") {
            use(0, Kind::Image, false);
        } else if (function == u"LoadPNGScaled" || function == u"SetBackgroundImage") {
            use(0, Kind::Image, true);
        } else if (function == u"LoadBitmap" || function == u"LoadSkinBitmap") {
            use(0, Kind::Bitmap, false);
        } else if (function == u"LoadCursor") {
            use(0, Kind::Cursor, false);
        } else if (function == u"LoadImages") {
            for (size_t i = 0; i < args.size(); ++i) {
                use(i, Kind::Image, true);
            }
        } else if (function == u"SetImages" && args.size() == 4) {
            // The image button's (normal, alternate, background on, colour); the other
            // SetImages take loaded images.
            use(0, Kind::Image, false);
            use(1, Kind::Image, false);
        }
    }
}

void ResourceIdScan::ReadFormats(int file) {
    const QString& code = files_[static_cast<size_t>(file)].code;
    static const QRegularExpression format(QStringLiteral("\\bSafeFormat\\s*\\("));
    static const QRegularExpression loader(
        QStringLiteral("\\b(?:LoadLangString|GetString)\\s*\\("));
    static const QRegularExpression literal(QStringLiteral("^(\\d+)[uUlL]*$"));
    for (auto it = format.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        std::vector<Argument> args;
        if (!SplitArguments(code, match.capturedEnd(0) - 1, &args) || args.size() < 2 ||
            !args[1].text.startsWith(u'{') || !args[1].text.endsWith(u'}')) {
            continue;
        }
        const QRegularExpressionMatch load = loader.match(args[0].text);
        std::vector<Argument> textArgs;
        if (!load.hasMatch() || !SplitArguments(args[0].text, load.capturedEnd(0) - 1, &textArgs) ||
            textArgs.size() != 1) {
            continue;
        }
        PendingFormat pending;
        pending.file = file;
        pending.argumentCount = CountBracedItems(args[1].text);
        pending.where = Where(file, match.capturedStart(0));
        const QString text = WithoutOuterParentheses(textArgs[0].text);
        Kind kind = Kind::Text;
        if (literal.match(text).hasMatch()) {
            pending.textId = text.toInt();
        } else if (KindOfName(text, &kind) && kind == Kind::Text) {
            pending.textName = text;
        } else {
            continue;
        }
        pendingFormats_.push_back(pending);
    }
}

std::vector<int> ResourceIdScan::ValuesOf(const QString& name, int file) const {
    std::vector<int> own;
    std::vector<int> any;
    for (const Definition& definition : definitions_) {
        if (definition.name != name) {
            continue;
        }
        std::vector<int>& target = definition.file == file ? own : any;
        target.insert(target.end(), definition.values.begin(), definition.values.end());
    }
    return own.empty() ? any : own;
}

void ResourceIdScan::Run() {
    for (int file = 0; file < static_cast<int>(files_.size()); ++file) {
        ReadNumericConstants(file);
        ReadDefinitions(file);
    }
    for (int file = 0; file < static_cast<int>(files_.size()); ++file) {
        ReadCalls(file);
        ReadFormats(file);
    }
    for (const Definition& definition : definitions_) {
        Kind kind = Kind::Text;
        KindOfName(definition.name, &kind);
        for (int id : definition.values) {
            uses_.push_back({kind, id, Where(definition.file, definition.offset)});
        }
    }
    for (const auto& [file, name] : scaledNames_) {
        for (int id : ValuesOf(name, file)) {
            scaledImages_.insert(id);
        }
    }
    for (const PendingFormat& pending : pendingFormats_) {
        FormatUse use;
        use.argumentCount = pending.argumentCount;
        use.where = pending.where;
        if (pending.textName.isEmpty()) {
            use.textIds.insert(pending.textId);
        } else {
            for (int id : ValuesOf(pending.textName, pending.file)) {
                use.textIds.insert(id);
            }
            if (use.textIds.empty()) {
                problems_.push_back(
                    {pending.where,
                     QStringLiteral("%1 is not defined as a number").arg(pending.textName)});
                continue;
            }
        }
        formats_.push_back(use);
    }
}

std::set<int> ResourceIdScan::Ids(Kind kind) const {
    std::set<int> ids;
    for (const IdUse& use : uses_) {
        if (use.kind == kind) {
            ids.insert(use.id);
        }
    }
    return ids;
}

}  // namespace resource_scan
