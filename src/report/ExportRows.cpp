#include "report/ExportRows.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace lum1 {

namespace {
// Positions closer than half a layout unit are the same place.
long long Place(double units) {
    return std::llround(units * 2);
}
} // namespace

TExportTable ExportTable(const TPreparedReport& report) {
    std::vector<long long> lefts;
    for (const TPreparedPage& page : report.Pages)
        for (const TPreparedBox& box : page.Boxes)
            lefts.push_back(Place(box.Rect.left()));
    std::sort(lefts.begin(), lefts.end());
    lefts.erase(std::unique(lefts.begin(), lefts.end()), lefts.end());
    auto column = [&lefts](double x) {
        return static_cast<int>(std::upper_bound(lefts.begin(), lefts.end(), Place(x)) - lefts.begin()) - 1;
    };

    TExportTable table;
    table.ColumnCount = static_cast<int>(lefts.size());
    for (const TPreparedPage& page : report.Pages) {
        std::map<long long, std::vector<const TPreparedBox*>> byTop;
        for (const TPreparedBox& box : page.Boxes)
            byTop[Place(box.Rect.top())].push_back(&box);
        for (auto& [top, boxes] : byTop) {
            std::sort(boxes.begin(), boxes.end(), [](const TPreparedBox* a, const TPreparedBox* b) {
                return a->Rect.left() < b->Rect.left();
            });
            TExportLine line;
            for (const TPreparedBox* box : boxes) {
                TExportCell cell;
                cell.FirstColumn = column(box->Rect.left());
                // A box reaches every column that starts before its right edge.
                cell.LastColumn = std::max(cell.FirstColumn, column(box->Rect.right() - 0.5));
                cell.Text = box->PlainText();
                cell.Centred = box->HCentred;
                line.Cells.push_back(std::move(cell));
            }
            table.Lines.push_back(std::move(line));
        }
    }
    return table;
}

} // namespace lum1
