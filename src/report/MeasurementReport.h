#pragma once
// The measurement report: the results table, or a block of its rows, as a landscape A4 table
// with a title, a heading row on every page, one line per measurement and the page number at
// the bottom. It fills the engine's template, chooses the rows and feeds the engine its values.

#include "report/Report.h"

#include <QString>

#include <array>
#include <functional>

class QWidget;

namespace lum1 {

class IDialogs;
class TIniFile;

constexpr int ReportColumns = 11;

// The results grid as the user sees it: cells and column widths by place (after moves), grid
// rows numbered as the table's (data from 2).
struct TReportGrid {
    int RowCount = 0; // grid rows, the two title rows included
    std::function<QString(int column, int gridRow)> Cell;
    std::array<int, ReportColumns> ColWidths{};
    int SelectionTop = 2;
    int SelectionBottom = 2;
};

// What the report needs of the program.
struct TReportEnvironment {
    IDialogs* Dialogs = nullptr;
    std::function<QString(const QString& key)> GetLangMessage;
    std::function<void(const QString&)> SetStatusBarGeneral;
    QString ApplicationTitle;
    QString LanguageFolder; // where Russian.frc and English.frc live, with its trailing "/"
    bool EnglishUI = false;
    QWidget* Parent = nullptr;
    TIniFile* Settings = nullptr; // the preview keeps its size there
    std::function<void()> Help; // F1 in the preview
};

class TMeasurementReport {
public:
    TMeasurementReport();

    TfrxReport frxReport1;
    TfrxUserDataSet frxUserDataSet1;
    int FirstReportRow = 0;
    int LastReportRow = 0;

    // Shows the prepared report; the preview window unless a test replaces it.
    std::function<void(TfrxReport&)> ShowReport;

    // The print command over the grid; recordCount is the store's.
    void APrintExecute(int recordCount, const TReportGrid& grid, const TReportEnvironment& environment);

    // Places the columns' memos in the proportions of the grid's column widths, across the
    // report page's width less 100 units (never wider than between its margins).
    void ScaleColumns(const std::array<int, ReportColumns>& widths);
    // After a page setup: the title and the footer span the page between its margins and the
    // columns are scaled to its width again, from the widths of the report being shown.
    void FitToPage();

    void frxReport1GetValue(const QString& name, QString& value) const;
    void frxUserDataSet1First(TfrxUserDataSet& sender) const;
    void frxUserDataSet1CheckEOF(TfrxUserDataSet& sender, bool& eof) const;

private:
    const TReportGrid* grid_ = nullptr;
    std::array<int, ReportColumns> columnWidths_{};
    std::function<QString(const QString&)> lookup_;
};

// The template: page, bands and memos with their documented places, fonts and texts.
void BuildMeasurementTemplate(TfrxReport& report);

} // namespace lum1
