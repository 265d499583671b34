#pragma once
// The declarative report template: a page with its paper and margins, the bands printed on it
// and the memos (text boxes) of each band. Positions and sizes are layout units, the pixel at
// 96 dots per inch, measured from the band's top-left corner.

#include "report/ReportPicture.h"

#include <QString>

#include <memory>
#include <vector>

namespace lum1 {

// Layout units per millimetre (96 / 25.4).
constexpr double UnitsPerMm = 3.7795275590551185;

struct TFontSpec {
    QString Family = QStringLiteral("Times New Roman");
    int PixelSize = 13; // character height at 96 dpi
    bool Bold = false;

    bool operator==(const TFontSpec&) const = default;
};

class TfrxMemoView {
public:
    QString Name;
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    // The memo's text; bracketed names in it are replaced by their values when it prints.
    QString Text;
    TFontSpec Font;
    bool Frame = false; // a line on all four sides
    bool HCentred = true;
    bool VCentred = true;
    bool WordWrap = true;
    // The value is read as simple HTML (<sup>, <sub>, <b>, <i>, <u>, <br>, entities);
    // every other memo prints its text literally.
    bool AllowHTMLTags = false;
};

// A page may hold several title bands (printed in order before everything else) and several
// summary bands (printed in order after the last data row); of the other kinds the first counts.
// The header is the data's column heading: printed before the first row and again at the top of
// every page the data goes on to.
enum class TBandKind { ReportTitle, PageHeader, MasterData, PageFooter, Header, ReportSummary };

class TfrxBand {
public:
    TfrxBand(TBandKind kind, QString name, double height)
        : Kind(kind), Name(std::move(name)), Height(height) {}

    TBandKind Kind;
    QString Name;
    double Height;
    // A stretching band grows to its tallest memo, and all its memos grow with it.
    bool Stretched = false;
    std::vector<std::unique_ptr<TfrxMemoView>> Memos;
    // Picture boxes keep their size when the band stretches.
    std::vector<std::unique_ptr<TfrxPictureView>> Pictures;

    TfrxMemoView& AddMemo(const QString& name);
    TfrxPictureView& AddPicture(const QString& name);
};

enum class TPageOrientation { Portrait, Landscape };

class TfrxReportPage {
public:
    explicit TfrxReportPage(QString name) : Name(std::move(name)) {}

    QString Name;
    // Paper as it lies in the printer: portrait width and height in millimetres.
    double PaperWidthMm = 210;
    double PaperHeightMm = 297;
    TPageOrientation Orientation = TPageOrientation::Portrait;
    double LeftMarginMm = 10, TopMarginMm = 10, RightMarginMm = 10, BottomMarginMm = 10;
    std::vector<std::unique_ptr<TfrxBand>> Bands;

    TfrxBand& AddBand(TBandKind kind, const QString& name, double height);
    // The band of a kind, or nullptr.
    TfrxBand* Band(TBandKind kind) const;

    double PageWidthMm() const;
    double PageHeightMm() const;
    // The page's width in whole layout units, as clients place their columns by it.
    int Width() const;
    // Width and height between the margins, in layout units.
    double UsableWidth() const;
    double UsableHeight() const;
};

} // namespace lum1
