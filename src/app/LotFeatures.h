#pragma once
// Wires the lot statistics, the acceptance marks, the density chart and the Excel and map
// exports into the main window: their menu items (after the documented ones), the panel under
// the grid, the settings section [LotStatistics] and the texts of the section [Extra].

#include "acceptance/CorrectedValues.h"
#include "export/TableExport.h"
#include "lot/DensityChart.h"
#include "stats/LotStatistics.h"

#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QTimer;

namespace lum1 {

class IDialogs;
class TForm1;
class TLotPanel;

class TLotFeatures : public QObject {
    Q_OBJECT
public:
    TLotFeatures(TForm1& form, IDialogs& dialogs);
    ~TLotFeatures() override;

    // Menu, panel and chart texts in the interface language (after every language change).
    void MenuFill();

    void SetPanelShown(bool shown);
    bool PanelShown() const;
    void ShowChart();
    void CopyStatistics();
    void Export(TTableFormat format);

    // Runs the recomputation that is otherwise coalesced to the next pass of the event loop.
    void Recompute();

    TLotPanel* Panel() const { return panel_; }
    TDensityChart* Chart() const { return chart_; }
    const TLotStatistics& Statistics() const { return statistics_; }
    QAction *AShowLotStatistics, *ADensityChart, *AExportXlsx, *AExportKml, *AExportGeoJson;

    // The correlation chosen for the lot shown (the lot acceptance's wiring answers it): its
    // corrected values join the panel, the chart and the workbook. None when unset.
    std::function<TLotCorrectionState()> correction;

private:
    QString Extra(const QString& key) const;
    TExportTexts ExportTexts() const;
    // The model rows of the lot, in the order the user sees them: the selected rows when two or
    // more are selected, else every row.
    std::vector<int> LotModelRows(bool* selection) const;
    void ScheduleRecompute();
    void UpdateChart();
    void SelectModelRow(int row);
    void WriteSetting(const QString& key, const QString& value);

    TForm1& form_;
    IDialogs& dialogs_;
    TLotPanel* panel_;
    QPointer<TDensityChart> chart_;
    QTimer* recompute_;
    TLotStatistics statistics_;
    TLotCorrectionState correctionState_;
    std::vector<uint8_t> below_; // per model row: compaction factor under the minimum
    double minCompaction_ = DefaultMinCompaction;
    double targetDensity_ = 0;
};

} // namespace lum1
