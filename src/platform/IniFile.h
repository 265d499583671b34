#pragma once
// A settings/language file with the semantics of the classic Windows profile functions:
// case-insensitive section and key names, trimmed values, one pair of matching quotes
// stripped, at most 2047 characters of a value, integers in decimal or "0x"/"$" hex,
// booleans read as integers. Nothing is cached: every read looks at the file as it is now,
// and every write rewrites the file in place (other lines untouched) and reaches the disk
// through a temporary file and a rename before it returns.

#include <QString>
#include <stdexcept>
#include <utility>
#include <vector>

namespace lum1 {

// Thrown by a failed write; what() is "Unable to write to <full path>".
class EIniWriteError : public std::runtime_error {
public:
    explicit EIniWriteError(const QString& path);
    const QString& Path() const { return path_; }

private:
    QString path_;
};

class TIniFile {
public:
    static constexpr int MaxValueLength = 2047;

    explicit TIniFile(QString fileName);

    const QString& FileName() const { return fileName_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // Several keys of one section in one rewrite of the file, each with the semantics of
    // WriteString; either all of them reach the disk or none does.
    void WriteStrings(const QString& section, const std::vector<std::pair<QString, QString>>& values);

private:
    QString fileName_;
};

// Integer parsing of the profile functions: optional sign, decimal, or hex after "0x"/"$"
// (hex up to 32 bits, taken as a signed 32-bit pattern). Anything else gives def.
int ParseIniInteger(const QString& text, int def);

} // namespace lum1
