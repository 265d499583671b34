#pragma once
// The layout pass: runs through the data set and places the bands of a page template on pages.
// The title prints once at the top of the first page, the page header at the top of every page,
// one data band per row (stretched to its tallest memo, never split between pages) and the page
// footer at the bottom of every page. Further title bands, the data's heading and summary bands
// serve reports laid out as a document rather than a table (ReportTemplate.h).

#include "report/PreparedReport.h"
#include "report/ReportTemplate.h"
#include "report/UserDataSet.h"

#include <functional>
#include <optional>

namespace lum1 {

// Fills in the value of a bracketed name.
using TGetValue = std::function<void(const QString& name, QString& value)>;

// A data set that has not ended after this many rows is taken to be endless.
constexpr int MaxReportRows = 1'000'000;

// The memo's text with every bracketed name replaced by its value ("Page#": the page number;
// "TotalPages#": the number of pages, known to the page footers, which are laid out last).
QString ExpandMemoText(const QString& text, int pageNumber, const TGetValue& getValue, int totalPages = 0);

// Nothing when the data set never ends.
std::optional<TPreparedReport> LayoutReport(const TfrxReportPage& page, TfrxUserDataSet* dataSet,
                                            const TGetValue& getValue);

} // namespace lum1
