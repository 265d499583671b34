#include "report/ReportLayout.h"

#include "platform/XmlSafeText.h"

#include "report/SimpleHtml.h"
#include "report/TextWrap.h"

#include <algorithm>
#include <cstdint>

namespace lum1 {

QString ExpandMemoText(const QString& text, int pageNumber, const TGetValue& getValue, int totalPages) {
    if (!text.contains(u'['))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(u'[', i);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u']', open + 1);
        if (close < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        out += QStringView(text).mid(i, open - i);
        const QString name = text.mid(open + 1, close - open - 1);
        if (name == u"Page#") {
            out += QString::number(pageNumber);
        } else if (name == u"TotalPages#" && totalPages > 0) {
            out += QString::number(totalPages);
        } else {
            QString value;
            if (getValue)
                getValue(name, value);
            // A value is printed as it is: brackets inside it are never read as names.
            out += value;
        }
        i = close + 1;
    }
    return out;
}

namespace {

class TLayout {
public:
    TLayout(const TfrxReportPage& page, const TGetValue& getValue) : page_(page), getValue_(getValue) {
        result_.PageWidthMm = page.PageWidthMm();
        result_.PageHeightMm = page.PageHeightMm();
        result_.Landscape = page.Orientation == TPageOrientation::Landscape;
        result_.LeftMarginMm = page.LeftMarginMm;
        result_.TopMarginMm = page.TopMarginMm;
        result_.RightMarginMm = page.RightMarginMm;
        result_.BottomMarginMm = page.BottomMarginMm;
        left_ = page.LeftMarginMm * UnitsPerMm;
        top_ = page.TopMarginMm * UnitsPerMm;
        bottom_ = (page.PageHeightMm() - page.BottomMarginMm) * UnitsPerMm;
        const TfrxBand* footer = page.Band(TBandKind::PageFooter);
        dataBottom_ = bottom_ - (footer ? footer->Height : 0);
    }

    bool Run(TfrxUserDataSet* dataSet) {
        StartPage();
        const TfrxBand* master = page_.Band(TBandKind::MasterData);
        const TfrxBand* header = page_.Band(TBandKind::Header);
        if (master && dataSet) {
            dataSet->First();
            int rows = 0;
            while (!dataSet->Eof()) {
                if (++rows > MaxReportRows)
                    return false;
                std::vector<TPreparedBox> boxes = MeasureBand(*master);
                const double height = BandHeight(*master, boxes);
                // The heading goes with the first row, never alone at the foot of a page.
                const double heading = rows == 1 && header ? HeaderHeight(*header) : 0;
                // A row that does not fit goes whole to the next page; on an empty page it is
                // placed anyway, or it would never be placed at all.
                if (y_ + heading + height > dataBottom_ && flowOnPage_ > 0) {
                    StartPage();
                    if (header && rows > 1)
                        PlaceBand(*header);
                }
                if (rows == 1 && header)
                    PlaceBand(*header);
                Place(boxes, y_);
                y_ += height;
                ++flowOnPage_;
                dataSet->Next();
            }
        }
        for (const auto& band : page_.Bands)
            if (band->Kind == TBandKind::ReportSummary)
                PlaceOnce(*band);
        PlaceFooters();
        return true;
    }

    TPreparedReport Take() { return std::move(result_); }

private:
    void StartPage() {
        result_.Pages.emplace_back();
        y_ = top_;
        flowOnPage_ = 0;
        if (result_.Pages.size() == 1) {
            for (const auto& band : page_.Bands)
                if (band->Kind == TBandKind::ReportTitle)
                    PlaceOnce(*band);
            // Titles that ran on to another page found its page header there already.
            if (result_.Pages.size() > 1)
                return;
        }
        if (const TfrxBand* header = page_.Band(TBandKind::PageHeader))
            PlaceBand(*header);
    }

    // A title or summary band: printed once, moved whole to a new page when it does not fit.
    void PlaceOnce(const TfrxBand& band) {
        std::vector<TPreparedBox> boxes = MeasureBand(band);
        const double height = BandHeight(band, boxes);
        if (y_ + height > dataBottom_ && flowOnPage_ > 0)
            StartPage();
        Place(boxes, y_);
        y_ += height;
        ++flowOnPage_;
    }

    // Footers are laid out last, when the number of pages is known.
    void PlaceFooters() {
        const TfrxBand* footer = page_.Band(TBandKind::PageFooter);
        if (!footer)
            return;
        totalPages_ = static_cast<int>(result_.Pages.size());
        for (int i = 0; i < totalPages_; ++i) {
            pageNumber_ = i + 1;
            std::vector<TPreparedBox> boxes = MeasureBand(*footer);
            Place(boxes, dataBottom_, static_cast<size_t>(i));
        }
    }

    void PlaceBand(const TfrxBand& band) {
        std::vector<TPreparedBox> boxes = MeasureBand(band);
        const double height = BandHeight(band, boxes);
        Place(boxes, y_);
        y_ += height;
    }

    double HeaderHeight(const TfrxBand& band) {
        std::vector<TPreparedBox> boxes = MeasureBand(band);
        return BandHeight(band, boxes);
    }

    // The band's memos with their texts broken into lines, at band-relative places.
    std::vector<TPreparedBox> MeasureBand(const TfrxBand& band) {
        std::vector<TPreparedBox> boxes;
        boxes.reserve(band.Memos.size());
        const int pageNumber = pageNumber_ > 0 ? pageNumber_ : static_cast<int>(result_.Pages.size());
        for (const auto& picture : band.Pictures) {
            TPreparedBox box;
            box.Name = picture->Name;
            box.Rect = QRectF(picture->Left, picture->Top, picture->Width, picture->Height);
            box.Frame = picture->Frame;
            box.Picture = picture->Picture;
            boxes.push_back(std::move(box));
        }
        for (const auto& memo : band.Memos) {
            TPreparedBox box;
            box.Name = memo->Name;
            box.Rect = QRectF(memo->Left, memo->Top, memo->Width, memo->Height);
            box.Font = memo->Font;
            box.Frame = memo->Frame;
            box.HCentred = memo->HCentred;
            box.VCentred = memo->VCentred;
            const QString value = ExpandMemoText(memo->Text, pageNumber, getValue_, totalPages_);
            std::vector<TParagraph> paragraphs = ParseMemoText(value, memo->AllowHTMLTags);
            // Control characters left after the line breaks (raw bytes of the gauge's texts)
            // print as nothing: they take no room, and no export receives them.
            for (TParagraph& p : paragraphs)
                for (TTextRun& run : p)
                    run.Text = XmlSafeText(run.Text);
            box.Lines = WrapParagraphs(paragraphs, memo->Font, memo->Width - 2 * result_.GapX, memo->WordWrap,
                                       fonts_, 2 * result_.GapX);
            boxes.push_back(std::move(box));
        }
        return boxes;
    }

    double TextHeight(const TPreparedBox& box) {
        const auto n = static_cast<double>(std::max<size_t>(box.Lines.size(), 1));
        return n * LineHeight(box.Font, fonts_) + (n - 1) * result_.LineSpacing + 2 * result_.GapY;
    }

    // A stretching band grows to hold its tallest text, and every memo reaches its new bottom.
    double BandHeight(const TfrxBand& band, std::vector<TPreparedBox>& boxes) {
        if (!band.Stretched)
            return band.Height;
        double height = band.Height;
        for (const TPreparedBox& b : boxes)
            height =
                std::max(height, b.Rect.top() + std::max(b.Rect.height(), b.Picture ? 0 : TextHeight(b)));
        for (TPreparedBox& b : boxes)
            if (b.Rect.bottom() < height && !b.Picture)
                b.Rect.setBottom(height);
        return height;
    }

    void Place(std::vector<TPreparedBox>& boxes, double bandTop, size_t pageIndex = SIZE_MAX) {
        TPreparedPage& page =
            pageIndex < result_.Pages.size() ? result_.Pages[pageIndex] : result_.Pages.back();
        for (TPreparedBox& b : boxes) {
            b.Rect.translate(left_, bandTop);
            page.Boxes.push_back(std::move(b));
        }
    }

    const TfrxReportPage& page_;
    const TGetValue& getValue_;
    TFontCache fonts_;
    TPreparedReport result_;
    double left_ = 0, top_ = 0, bottom_ = 0, dataBottom_ = 0, y_ = 0;
    // Rows and once-printed bands on the page: page and data headers do not count, so a row
    // taller than a page still finds a page of its own.
    int flowOnPage_ = 0;
    int pageNumber_ = 0; // while the footers are laid out
    int totalPages_ = 0; // likewise
};

} // namespace

std::optional<TPreparedReport> LayoutReport(const TfrxReportPage& page, TfrxUserDataSet* dataSet,
                                            const TGetValue& getValue) {
    TLayout layout(page, getValue);
    if (!layout.Run(dataSet))
        return std::nullopt;
    return layout.Take();
}

} // namespace lum1
