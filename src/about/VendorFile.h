#pragma once
// The distributor's contact details for the About window, read from a small INI file installed
// beside the program. A detail that is not set stays empty: the window then hides it rather
// than show a made-up value.

#include <QString>

namespace lum1 {

struct TVendorInfo {
    QString Phone1, Phone2;
    QString Site;
    QString EmailInfo, EmailTech, EmailService;
    QString BrandRussian, BrandEnglish;
    QString Emblem; // a picture file, full path; empty: the program's own emblem
};

// File name beside the program.
inline constexpr const char* VendorFileName = "vendor.ini";

// A missing or unreadable file gives empty details. Values are single lines, at most 200
// characters each; a longer one is taken as damaged and left empty.
TVendorInfo ReadVendorFile(const QString& path);

} // namespace lum1
