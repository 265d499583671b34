#pragma once
// A results grid of plain rows for the report's tests, the report wired to a scripted dialog
// box and a recorded status line, and small readers of the prepared pages.

#include "report/MeasurementReport.h"

#include "RecordFixture.h"
#include "ScriptedDialogs.h"

#include <QStringList>

#include <vector>

namespace lum1::test {

// Rows "1".."n": column 0 the row number, the other columns "<row>.<column>".
inline std::vector<TRowTexts> NumberedRows(int count) {
    std::vector<TRowTexts> rows(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < ResultColumns; ++c)
            rows[static_cast<size_t>(r)][static_cast<size_t>(c)] =
                c == 0 ? QString::number(r + 1) : QStringLiteral("%1.%2").arg(r + 1).arg(c);
    return rows;
}

struct ReportHarness {
    explicit ReportHarness(bool english = true) {
        environment.Dialogs = &dialogs;
        environment.GetLangMessage = TableLookup(english);
        environment.SetStatusBarGeneral = [this](const QString& m) { status << m; };
        environment.ApplicationTitle = QStringLiteral("LUM-1.2. Asphalt densitometer");
        environment.EnglishUI = english;
        report.ShowReport = [this](TfrxReport&) { ++shown; };
    }

    TReportGrid Grid(int selectionTop = 2, int selectionBottom = 2) const {
        TReportGrid grid;
        grid.RowCount = static_cast<int>(rows.size()) + 2;
        grid.Cell = [this](int column, int gridRow) {
            return rows[static_cast<size_t>(gridRow - 2)][static_cast<size_t>(column)];
        };
        grid.ColWidths = {45, 125, 64, 64, 64, 64, 64, 64, 64, 64, 64};
        grid.SelectionTop = selectionTop;
        grid.SelectionBottom = selectionBottom;
        return grid;
    }

    void Print(int selectionTop = 2, int selectionBottom = 2) {
        report.APrintExecute(static_cast<int>(rows.size()), Grid(selectionTop, selectionBottom), environment);
    }

    const TPreparedReport& Prepared() const { return report.frxReport1.PreparedPages(); }

    std::vector<TRowTexts> rows;
    TMeasurementReport report;
    ScriptedDialogs dialogs;
    TReportEnvironment environment;
    QStringList status;
    int shown = 0;
};

// The boxes of a page made from one memo, top to bottom.
inline std::vector<const TPreparedBox*> BoxesOf(const TPreparedPage& page, const QString& memo) {
    std::vector<const TPreparedBox*> boxes;
    for (const TPreparedBox& b : page.Boxes)
        if (b.Name == memo)
            boxes.push_back(&b);
    return boxes;
}

inline QStringList TextsOf(const TPreparedPage& page, const QString& memo) {
    QStringList texts;
    for (const TPreparedBox* b : BoxesOf(page, memo))
        texts << b->PlainText();
    return texts;
}

// Column 0 of every printed row, page after page.
inline QStringList PrintedNumbers(const TPreparedReport& report) {
    QStringList numbers;
    for (const TPreparedPage& page : report.Pages)
        numbers << TextsOf(page, QStringLiteral("Memo200"));
    return numbers;
}

} // namespace lum1::test
