#include "TempDir.h"

#include <QFile>
#include <stdexcept>

namespace lum1::test {

TempDir::TempDir() {
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

void TempDir::Write(const QString& name, const QByteArray& data) const {
    QFile f(File(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray TempDir::Read(const QString& name) const {
    QFile f(File(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void SetReadOnly(const QString& path, bool readOnly) {
    constexpr auto write = QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup |
                           QFileDevice::WriteOther;
    QFile::Permissions p = QFile::permissions(path);
    QFile::setPermissions(path, readOnly ? (p & ~write) : (p | QFileDevice::WriteOwner | QFileDevice::WriteUser));
}

} // namespace lum1::test
