#include "platform/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace lum1 {

EIniWriteError::EIniWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()), path_(path) {}

namespace {

// One line of the file as it is on disk, with its own line end, so that a rewrite gives back
// every line it does not change byte for byte.
struct Line {
    QByteArray text;
    QByteArray end;
};

std::vector<Line> SplitLines(const QByteArray& data) {
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype nl = data.indexOf('\n', start);
        if (nl < 0) {
            lines.push_back({data.mid(start), {}});
            break;
        }
        qsizetype textEnd = nl;
        if (textEnd > start && data.at(textEnd - 1) == '\r')
            --textEnd;
        lines.push_back({data.mid(start, textEnd - start), data.mid(textEnd, nl + 1 - textEnd)});
        start = nl + 1;
    }
    return lines;
}

QByteArray ReadAll(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

std::optional<QString> SectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return QString::fromUtf8(t.mid(1, close - 1)).trimmed();
}

// Key part of a "key=value" line, or nothing for a line without "=".
std::optional<QString> KeyName(const QByteArray& line) {
    qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return QString::fromUtf8(line.left(eq)).trimmed();
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString CleanValue(const QByteArray& raw) {
    QString v = QString::fromUtf8(raw).trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v.left(TIniFile::MaxValueLength);
}

struct SectionRange {
    size_t header;     // index of the header line
    size_t lastFilled; // last non-blank line that belongs to the section
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, const QString& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        auto name = SectionName(lines[i].text);
        if (!name || !SameName(*name, section))
            continue;
        SectionRange r{i, i};
        for (size_t j = i + 1; j < lines.size() && !SectionName(lines[j].text); ++j)
            if (!lines[j].text.trimmed().isEmpty())
                r.lastFilled = j;
        return r;
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines, const SectionRange& s, const QString& key) {
    for (size_t j = s.header + 1; j <= s.lastFilled; ++j) {
        auto name = KeyName(lines[j].text);
        if (name && SameName(*name, key))
            return j;
    }
    return std::nullopt;
}

QByteArray OneLine(const QString& s) {
    QString t = s;
    t.replace(u'\r', u' ').replace(u'\n', u' ');
    return t.toUtf8();
}

const QByteArray kCrLf("\r\n");

void SetKey(std::vector<Line>& lines, const QString& section, const QString& key, const QString& value) {
    const QByteArray newLine = OneLine(key) + '=' + OneLine(value);
    auto s = FindSection(lines, section);
    if (!s) {
        if (!lines.empty() && lines.back().end.isEmpty())
            lines.back().end = kCrLf;
        lines.push_back({'[' + OneLine(section) + ']', kCrLf});
        lines.push_back({newLine, kCrLf});
        return;
    }
    if (auto k = FindKey(lines, *s, key)) {
        lines[*k].text = newLine;
        return;
    }
    Line& before = lines[s->lastFilled];
    if (before.end.isEmpty())
        before.end = kCrLf;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(s->lastFilled) + 1, Line{newLine, kCrLf});
}

constexpr QFileDevice::Permissions kAnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

// The read-only attribute is honoured even for a superuser, who could otherwise replace a
// file the user has deliberately protected.
bool Protected(const QString& path) {
    QFileInfo fi(path);
    return fi.exists() && (fi.permissions() & kAnyWrite) == 0;
}

void Store(const QString& fileName, const std::vector<Line>& lines) {
    QFileInfo fi(fileName);
    if (fi.isDir() || Protected(fileName) || Protected(fi.absolutePath()))
        throw EIniWriteError(fi.absoluteFilePath());
    QByteArray data;
    for (const Line& l : lines)
        data += l.text + l.end;
    // Unbuffered, and the size checked before the rename: a buffered write cut short by a full
    // disk is reported as complete and would replace the file with a shortened one.
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || f.write(data) != data.size() ||
        f.size() != data.size()) {
        f.cancelWriting();
        throw EIniWriteError(fi.absoluteFilePath());
    }
    if (!f.commit())
        throw EIniWriteError(fi.absoluteFilePath());
}

} // namespace

TIniFile::TIniFile(QString fileName) : fileName_(std::move(fileName)) {}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const std::vector<Line> lines = SplitLines(ReadAll(fileName_));
    auto s = FindSection(lines, section);
    if (!s)
        return def;
    auto k = FindKey(lines, *s, key);
    if (!k)
        return def;
    const QByteArray& text = lines[*k].text;
    return CleanValue(text.mid(text.indexOf('=') + 1));
}

int ParseIniInteger(const QString& text, int def) {
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = t.front() == u'-';
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        base = 16;
    } else if (t.startsWith(u'$')) {
        t = t.mid(1);
        base = 16;
    }
    if (t.isEmpty())
        return def;
    for (QChar c : t)
        if (!(base == 16 ? c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f') : c.isDigit()))
            return def;
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok)
        return def;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return def;
        const auto bits = static_cast<quint32>(magnitude);
        const auto value = static_cast<qint32>(bits);
        return negative ? static_cast<int>(0u - bits) : value;
    }
    const qlonglong limit = negative ? 2147483648LL : 2147483647LL;
    if (magnitude > static_cast<qulonglong>(limit))
        return def;
    return static_cast<int>(negative ? -static_cast<qlonglong>(magnitude) : static_cast<qlonglong>(magnitude));
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    const QString s = ReadString(section, key, QString());
    return s.isEmpty() ? def : ParseIniInteger(s, def);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    WriteStrings(section, {{key, value}});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteStrings(const QString& section, const std::vector<std::pair<QString, QString>>& values) {
    // A file that exists but cannot be read is never replaced by one holding only the new keys.
    QFile existing(fileName_);
    if (existing.exists() && !existing.open(QIODevice::ReadOnly))
        throw EIniWriteError(QFileInfo(fileName_).absoluteFilePath());
    std::vector<Line> lines = SplitLines(existing.isOpen() ? existing.readAll() : QByteArray());
    existing.close();
    for (const auto& [key, value] : values)
        SetKey(lines, section, key, value);
    Store(fileName_, lines);
}

} // namespace lum1
