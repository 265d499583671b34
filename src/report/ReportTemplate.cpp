#include "report/ReportTemplate.h"

#include <cmath>

namespace lum1 {

TfrxMemoView& TfrxBand::AddMemo(const QString& name) {
    Memos.push_back(std::make_unique<TfrxMemoView>());
    Memos.back()->Name = name;
    return *Memos.back();
}

TfrxPictureView& TfrxBand::AddPicture(const QString& name) {
    Pictures.push_back(std::make_unique<TfrxPictureView>());
    Pictures.back()->Name = name;
    return *Pictures.back();
}

TfrxBand& TfrxReportPage::AddBand(TBandKind kind, const QString& name, double height) {
    Bands.push_back(std::make_unique<TfrxBand>(kind, name, height));
    return *Bands.back();
}

TfrxBand* TfrxReportPage::Band(TBandKind kind) const {
    for (const auto& b : Bands)
        if (b->Kind == kind)
            return b.get();
    return nullptr;
}

double TfrxReportPage::PageWidthMm() const {
    return Orientation == TPageOrientation::Portrait ? PaperWidthMm : PaperHeightMm;
}

double TfrxReportPage::PageHeightMm() const {
    return Orientation == TPageOrientation::Portrait ? PaperHeightMm : PaperWidthMm;
}

int TfrxReportPage::Width() const {
    return static_cast<int>(std::lround(PageWidthMm() * UnitsPerMm));
}

double TfrxReportPage::UsableWidth() const {
    return (PageWidthMm() - LeftMarginMm - RightMarginMm) * UnitsPerMm;
}

double TfrxReportPage::UsableHeight() const {
    return (PageHeightMm() - TopMarginMm - BottomMarginMm) * UnitsPerMm;
}

} // namespace lum1
