#include "about/VendorFile.h"

#include "platform/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace lum1 {

namespace {

constexpr int MaxDetailLength = 200;

QString Detail(const TIniFile& ini, const char* key) {
    const QString value =
        ini.ReadString(QStringLiteral("Vendor"), QString::fromLatin1(key), QString()).trimmed();
    if (value.size() > MaxDetailLength)
        return {};
    // A replacement character means bytes that are not text: nothing worth showing.
    if (value.contains(QChar::ReplacementCharacter))
        return {};
    return value;
}

} // namespace

TVendorInfo ReadVendorFile(const QString& path) {
    TVendorInfo v;
    if (!QFileInfo(path).isFile())
        return v;
    const TIniFile ini(path);
    v.Phone1 = Detail(ini, "Phone1");
    v.Phone2 = Detail(ini, "Phone2");
    v.Site = Detail(ini, "Site");
    v.EmailInfo = Detail(ini, "EmailInfo");
    v.EmailTech = Detail(ini, "EmailTech");
    v.EmailService = Detail(ini, "EmailService");
    v.BrandRussian = Detail(ini, "BrandRussian");
    v.BrandEnglish = Detail(ini, "BrandEnglish");
    if (const QString emblem = Detail(ini, "Emblem"); !emblem.isEmpty())
        v.Emblem = QFileInfo(QFileInfo(path).dir(), emblem).absoluteFilePath();
    return v;
}

} // namespace lum1
