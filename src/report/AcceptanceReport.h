#pragma once
// The acceptance report: a lot's verdict as a document a QC lab signs. A header from the user's
// report-header setup, the summary of the corrected values with the verdict in words, the chart,
// the correlation used, the list of points with their marks and the lines for signatures; page
// numbers "page N of M". Its input is plain data, so that the lot window and the command line
// feed it alike; a lot that gets no verdict makes no report.

#include "acceptance/LotAcceptance.h"
#include "report/Report.h"
#include "results/RecordTexts.h"

#include <QHash>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace lum1 {

// The report-header setup. Empty fields that the records can tell (road or object, mix or
// material, reference density, dates) are taken from them.
struct TAcceptanceHeader {
    QString Organisation, Project, Road, Lot, Mix, Layer, ReferenceDensity, Gauge, Operator, Dates;
};

// The longest header text printed; a longer one is cut with an ellipsis.
constexpr int MaxHeaderText = 300;
// A header text as the report prints it: control characters and line breaks become blanks,
// runs of blanks one, and at most MaxHeaderText characters.
QString CleanHeaderText(const QString& text);

struct TAcceptanceReportInput {
    std::vector<TLotRecord> Records; // the lot, in its order
    TAcceptanceLimits Limits;
    TCorrection Correction;
    TAcceptanceHeader Header;
    QImage Logo; // none when null; checked and scaled by LoadReportLogo
};

// What the report needs of the program's language and locale.
struct TAcceptanceTexts {
    std::function<QString(const QString& key)> Documented; // the documented texts (GetLangMessage)
    std::function<QString(const QString& key)> Extra;      // the new features' texts
    bool EnglishUI = true;
    QChar Separator = u'.';
    QString ApplicationTitle;
};

struct TAcceptanceTemplateOptions {
    std::shared_ptr<const TReportPicture> Logo;
    std::shared_ptr<const TReportPicture> Chart;
    bool Organisation = true; // the organisation's band (with the logo)
    bool Above = false;       // the line of the points above the maximum
    bool Pwl = false;         // the PWL line
    QString PageOf;           // "Page %1 of %2" in the report's language
};

class TAcceptanceReport {
public:
    TAcceptanceReport();

    TfrxReport frxReport1;
    TfrxUserDataSet frxUserDataSet1;

    // Judges the lot and lays the report out. A lot without a verdict (no valid density, too
    // few points for the PWL, limits that are no limits) makes no report: false, and the
    // reasons in refusal.
    bool Prepare(const TAcceptanceReportInput& input, const TAcceptanceTexts& texts,
                 QString* refusal = nullptr);

    const TLotAcceptance& Acceptance() const { return acceptance_; }
    const TPreparedReport& Prepared() const { return frxReport1.PreparedPages(); }
    // The header as printed: the user's fields cleaned, the empty ones the records can tell filled.
    const TAcceptanceHeader& Header() const { return header_; }

    void frxReport1GetValue(const QString& name, QString& value) const;

private:
    void FillValues(const TAcceptanceReportInput& input);
    QString PointValue(const QString& name, int recNo) const;

    TAcceptanceTexts texts_;
    TRecordTextContext context_;
    TLotAcceptance acceptance_;
    TAcceptanceHeader header_;
    // A copy of the lot, for the rows of points.
    std::shared_ptr<const TAcceptanceReportInput> input_;
    // The template's parts: a page setup in the preview builds it again on the new paper.
    TAcceptanceTemplateOptions options_;
    QHash<QString, QString> values_;
};

// The header's empty fields completed from the records.
TAcceptanceHeader CompleteHeader(const TAcceptanceHeader& header, const std::vector<TLotRecord>& records,
                                 QChar separator);


// The template: portrait A4, every text a bracketed name that TAcceptanceReport answers. With
// `paper`, on that page's paper, orientation and margins instead, every band across its width.
void BuildAcceptanceTemplate(TfrxReport& report, const TAcceptanceTemplateOptions& options,
                             const TfrxReportPage* paper = nullptr);

} // namespace lum1
