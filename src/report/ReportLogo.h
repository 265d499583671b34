#pragma once
// The logo of a report header, read from an image file the user names: checked before it is
// decoded, so that a file that is no picture or a huge one is refused with a reason rather than
// filling the memory, and scaled down to what a printed logo needs.

#include <QImage>
#include <QString>

namespace lum1 {

// Refused above these: a file of more than 20 MB, a side of more than 10000 points or more than
// 40 million points in all.
constexpr qint64 MaxLogoFileBytes = 20 * 1024 * 1024;
constexpr int MaxLogoSide = 10000;
constexpr qint64 MaxLogoPixels = 40'000'000;
// Larger pictures are scaled down to this many points on their longer side: a logo 40 mm wide
// printed at 600 dpi.
constexpr int LogoPrintSide = 945;

struct TReportLogo {
    enum TResult { Loaded, CantOpen, NotImage, TooLarge };
    TResult Result = CantOpen;
    QImage Image;
    QString Detail; // with TooLarge: the size found ("12000 × 9000")

    bool Ok() const { return Result == Loaded; }
};

TReportLogo LoadReportLogo(const QString& path);

} // namespace lum1
