// Any bytes are a settings or language file, as a user may have edited it: every read must come
// back without a fault, a value written must read back as written, and a write must leave the
// other keys' values as they were.
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace lum1;

namespace {

// A section or key name made of input bytes, kept to what a name can hold (no brackets, no "=",
// no line breaks, no blanks at its ends).
QString Name(const uint8_t* data, size_t size, size_t at) {
    static const char alphabet[] = "abcXYZ09_-.";
    QString name;
    for (size_t i = at; i < size && i < at + 4; ++i)
        name += QChar::fromLatin1(alphabet[data[i] % (sizeof alphabet - 1)]);
    return name.isEmpty() ? QStringLiteral("k") : name;
}

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the system has it: every write of the files is synced to the disk.
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/lum1-fuzz-XXXXXX")
                                                       : QString());
    const QString path = dir.filePath(QStringLiteral("lum1.ini"));
    {
        QFile f(path);
        Check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    TIniFile ini(path);

    const QString section = Name(data, size, 0), key = Name(data, size, 4);
    const QString probes[][2] = {{QStringLiteral("Config"), QStringLiteral("Uses")},
                                 {QStringLiteral("FormMain"), QStringLiteral("Width")},
                                 {section, QStringLiteral("other")},
                                 {QStringLiteral("Messages"), key}};
    QString before[std::size(probes)];
    for (size_t i = 0; i < std::size(probes); ++i) {
        before[i] = ini.ReadString(probes[i][0], probes[i][1], QStringLiteral("<none>"));
        Check(before[i].size() <= TIniFile::MaxValueLength);
        (void)ini.ReadInteger(probes[i][0], probes[i][1], 0);
        (void)ini.ReadBool(probes[i][0], probes[i][1], false);
    }

    // A value that reads back unchanged: no line breaks, no blanks or quotes at its ends.
    QString value =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).left(200);
    value.remove(QLatin1Char('\r'))
        .remove(QLatin1Char('\n'))
        .remove(QLatin1Char('"'))
        .remove(QLatin1Char('\''));
    value = value.trimmed();
    ini.WriteString(section, key, value);
    Check(ini.ReadString(section, key, QStringLiteral("<none>")) == value);
    for (size_t i = 0; i < std::size(probes); ++i)
        if (probes[i][0].compare(section, Qt::CaseInsensitive) != 0 ||
            probes[i][1].compare(key, Qt::CaseInsensitive) != 0)
            Check(ini.ReadString(probes[i][0], probes[i][1], QStringLiteral("<none>")) == before[i]);

    const int number =
        size >= 4 ? static_cast<int>(data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24) : -1;
    ini.WriteInteger(QStringLiteral("Config"), QStringLiteral("Uses"), number);
    Check(ini.ReadInteger(QStringLiteral("Config"), QStringLiteral("Uses"), 0) == number);
    return 0;
}
