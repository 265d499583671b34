#pragma once
// The prepared pages read as lines of cells, for the exports that have no positions: boxes that
// share a top edge form one line, and the distinct left edges of the report's boxes are its
// columns. A box may span several columns (a title across the page).

#include "report/PreparedReport.h"

#include <vector>

namespace lum1 {

struct TExportCell {
    int FirstColumn = 0;
    int LastColumn = 0; // inclusive
    QString Text;       // PlainText of the box
    bool Centred = true;
};

struct TExportLine {
    std::vector<TExportCell> Cells; // left to right
};

struct TExportTable {
    int ColumnCount = 0;
    std::vector<TExportLine> Lines; // every page's lines, page after page
};

TExportTable ExportTable(const TPreparedReport& report);

} // namespace lum1
