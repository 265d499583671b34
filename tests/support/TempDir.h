#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lum1::test {

// A fresh folder per test, removed afterwards; small helpers to write and read files in it.
class TempDir {
public:
    TempDir();
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const QByteArray& data) const;
    QByteArray Read(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// Clears every write bit of a file or folder (the read-only attribute), and restores them.
void SetReadOnly(const QString& path, bool readOnly);

} // namespace lum1::test
