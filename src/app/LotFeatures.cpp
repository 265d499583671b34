#include "app/LotFeatures.h"

#include "app/HelpTopics.h"
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "lang/ExtraTexts.h"
#include "lot/DensityChart.h"
#include "lot/LotPanel.h"
#include "platform/FormatFloat.h"
#include "results/ResultsTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lum1 {

namespace {

const QString kSection = QStringLiteral("LotStatistics");

// Pale enough to leave the text as readable as in any other row, and the same in the fixed
// columns, so the whole row reads as marked.
const QColor kBelowColour(0xff, 0xe0, 0xd8);

double ReadNumber(const QString& text, double fallback, double lo, double hi) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) && v >= lo && v <= hi ? v : fallback;
}

} // namespace

TLotFeatures::TLotFeatures(TForm1& form, IDialogs& dialogs) : form_(form), dialogs_(dialogs) {
    TIniFile* ini = form_.program().SettingsIni.get();
    const bool shown = ini && ini->ReadInteger(kSection, QStringLiteral("Visible"), 0) == 1;
    if (ini) {
        minCompaction_ = ParseMinCompaction(ini->ReadString(kSection, QStringLiteral("MinCompaction"), {}))
                             .value_or(DefaultMinCompaction);
        targetDensity_ =
            ReadNumber(ini->ReadString(kSection, QStringLiteral("TargetDensity"), {}), 0.0, 0.0, 5000.0);
    }

    panel_ = new TLotPanel(form_.centralWidget());
    panel_->SetMinCompaction(minCompaction_);
    panel_->SetTargetDensity(targetDensity_);
    panel_->setVisible(false);
    if (auto* layout = qobject_cast<QVBoxLayout*>(form_.centralWidget()->layout()))
        layout->insertWidget(layout->indexOf(form_.StringGrid1) + 1, panel_);

    // After the documented items of their menus.
    auto make = [this](const char* name) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    AShowLotStatistics = make("AShowLotStatistics");
    AShowLotStatistics->setCheckable(true);
    ADensityChart = make("ADensityChart");
    AExportXlsx = make("AExportXlsx");
    AExportKml = make("AExportKml");
    AExportGeoJson = make("AExportGeoJson");
    form_.itmParam->addSeparator()->setObjectName(QStringLiteral("NLot"));
    form_.itmParam->addAction(AShowLotStatistics);
    form_.itmParam->addAction(ADensityChart);
    // The exports stand with the copy commands, the other ways the table leaves the program; Exit
    // stays the last item of File, where hands and scripts find it.
    form_.itmEdit->addSeparator()->setObjectName(QStringLiteral("NExport"));
    form_.itmEdit->addAction(AExportXlsx);
    form_.itmEdit->addAction(AExportKml);
    form_.itmEdit->addAction(AExportGeoJson);
    connect(AShowLotStatistics, &QAction::toggled, this, [this](bool on) { SetPanelShown(on); });
    connect(ADensityChart, &QAction::triggered, this, [this] { ShowChart(); });
    connect(AExportXlsx, &QAction::triggered, this, [this] { Export(TTableFormat::Xlsx); });
    connect(AExportKml, &QAction::triggered, this, [this] { Export(TTableFormat::Kml); });
    connect(AExportGeoJson, &QAction::triggered, this, [this] { Export(TTableFormat::GeoJson); });

    connect(panel_, &TLotPanel::copyRequested, this, [this] { CopyStatistics(); });
    connect(panel_, &TLotPanel::chartRequested, this, [this] { ShowChart(); });
    connect(panel_, &TLotPanel::minCompactionChanged, this, [this](double v) {
        minCompaction_ = v;
        WriteSetting(QStringLiteral("MinCompaction"), QString::number(v, 'f', 3));
        ScheduleRecompute();
    });
    connect(panel_, &TLotPanel::targetDensityChanged, this, [this](double v) {
        targetDensity_ = v;
        WriteSetting(QStringLiteral("TargetDensity"), QString::number(v, 'f', 0));
        UpdateChart();
    });

    // Selections and fills come in bursts (a drag, a fill's rows): one recomputation per pass
    // of the event loop keeps the grid as quick as without the panel.
    recompute_ = new QTimer(this);
    recompute_->setSingleShot(true);
    recompute_->setInterval(0);
    connect(recompute_, &QTimer::timeout, this, [this] { Recompute(); });
    TResultsTable& table = form_.Table();
    connect(&table, &QAbstractItemModel::modelReset, this, [this] { ScheduleRecompute(); });
    connect(&table, &QAbstractItemModel::layoutChanged, this, [this] { ScheduleRecompute(); });
    connect(&table, &QAbstractItemModel::rowsInserted, this, [this] { ScheduleRecompute(); });
    connect(&table, &QAbstractItemModel::rowsRemoved, this, [this] { ScheduleRecompute(); });
    connect(form_.StringGrid1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ScheduleRecompute(); });
    connect(form_.StringGrid1->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this] { ScheduleRecompute(); });

    // The marks exist only while the panel is shown: without it the grid looks as it always did.
    table.RowDecoration = [this](int row, int role) -> QVariant {
        if (!panel_->isVisibleTo(&form_) || row < 0 || row >= static_cast<int>(below_.size()) ||
            !below_[static_cast<size_t>(row)])
            return {};
        if (role == Qt::BackgroundRole)
            return kBelowColour;
        return Extra(QStringLiteral("LotBelowTip")).arg(FormatFloat(minCompaction_, u"#0.000"));
    };

    MenuFill();
    AShowLotStatistics->setChecked(shown);
}

TLotFeatures::~TLotFeatures() {
    form_.Table().RowDecoration = nullptr;
}

QString TLotFeatures::Extra(const QString& key) const {
    return GetExtraMessage(form_.program().Language, key);
}

void TLotFeatures::MenuFill() {
    auto extra = [this](const QString& key) { return Extra(key); };
    AShowLotStatistics->setText(Extra(QStringLiteral("LotStatistics")));
    AShowLotStatistics->setToolTip(Extra(QStringLiteral("LotStatisticsHint")));
    ADensityChart->setText(Extra(QStringLiteral("DensityChartMenu")));
    ADensityChart->setToolTip(Extra(QStringLiteral("DensityChartHint")));
    AExportXlsx->setText(Extra(QStringLiteral("ExportXlsx")));
    AExportKml->setText(Extra(QStringLiteral("ExportKml")));
    AExportGeoJson->setText(Extra(QStringLiteral("ExportGeoJson")));
    panel_->SetTexts(LotLabels(extra, [this](const QString& key) { return form_.Msg(key); }), extra);
    if (chart_)
        chart_->SetTexts(extra, form_.windowTitle());
    Recompute();
}

void TLotFeatures::WriteSetting(const QString& key, const QString& value) {
    TIniFile* ini = form_.program().SettingsIni.get();
    if (!ini)
        return;
    try {
        ini->WriteString(kSection, key, value);
    } catch (const EIniWriteError&) {
        // A read-only settings file has been reported by the window already; the choice holds
        // for this run.
    }
}

void TLotFeatures::SetPanelShown(bool shown) {
    if (AShowLotStatistics->isChecked() != shown) {
        AShowLotStatistics->setChecked(shown); // comes back here through toggled
        return;
    }
    panel_->setVisible(shown);
    WriteSetting(QStringLiteral("Visible"), shown ? QStringLiteral("1") : QStringLiteral("0"));
    Recompute();
    form_.Table().DecorationChanged();
}

bool TLotFeatures::PanelShown() const {
    return panel_->isVisibleTo(&form_);
}

void TLotFeatures::ScheduleRecompute() {
    recompute_->start();
}

std::vector<int> TLotFeatures::LotModelRows(bool* selection) const {
    const TResultsTable& table = form_.Table();
    std::vector<int> all, selected;
    if (!table.ShowsRecords()) {
        *selection = false;
        return all;
    }
    const int rows =
        std::min(table.rowCount(), std::clamp(form_.program().Store.RecordCount.load(), 0, MaxRecords));
    const QHeaderView* header = form_.StringGrid1->verticalHeader();
    const QItemSelectionModel* sm = form_.StringGrid1->selectionModel();
    all.reserve(static_cast<size_t>(rows));
    for (int v = 0; v < rows; ++v) {
        const int row = header->logicalIndex(v);
        if (row < 0 || row >= rows)
            continue;
        all.push_back(row);
        if (sm && sm->isRowSelected(row, {}))
            selected.push_back(row);
    }
    return LotRecords(selected, all, selection);
}

void TLotFeatures::Recompute() {
    recompute_->stop();
    const TResultsTable& table = form_.Table();
    const TRecordStore& store = form_.program().Store;
    // Only what the table shows is read: while a device read fills the store the table is empty.
    const int rows = table.ShowsRecords() ? std::min(table.rowCount(), store.RecordCount.load()) : 0;
    const bool visible = PanelShown();
    std::vector<uint8_t> below(static_cast<size_t>(std::max(rows, 0)), 0);
    if (visible)
        for (int row = 0; row < rows; ++row)
            below[static_cast<size_t>(row)] =
                BelowMinimum(store.Records[static_cast<size_t>(store.DisplayOrder[static_cast<size_t>(row)])],
                             minCompaction_);
    const bool marksChanged = below != below_;
    below_ = std::move(below);
    if (marksChanged)
        form_.Table().DecorationChanged();

    if (visible || chart_) {
        bool selection = false;
        std::vector<int> records;
        for (int row : LotModelRows(&selection))
            records.push_back(store.DisplayOrder[static_cast<size_t>(row)]);
        statistics_ = ComputeLotStatistics(store, records, minCompaction_);
        statistics_.Selection = selection;
        correctionState_ = correction ? correction() : TLotCorrectionState{};
        AddCorrectedStatistics(statistics_, store, records, correctionState_);
        if (visible)
            panel_->ShowStatistics(statistics_, SystemDecimalSeparator());
        UpdateChart();
    }
}

void TLotFeatures::CopyStatistics() {
    Recompute();
    if (statistics_.Empty())
        return;
    auto extra = [this](const QString& key) { return Extra(key); };
    const TLotLabels labels = LotLabels(extra, [this](const QString& key) { return form_.Msg(key); });
    QGuiApplication::clipboard()->setText(
        LotStatisticsClipboardText(statistics_, labels, SystemDecimalSeparator()));
}

void TLotFeatures::ShowChart() {
    if (!chart_) {
        chart_ = new TDensityChart(dialogs_, &form_);
        chart_->setAttribute(Qt::WA_DeleteOnClose);
        chart_->SetTexts([this](const QString& key) { return Extra(key); }, form_.windowTitle());
        connect(chart_, &TDensityChart::rowChosen, this, [this](int row) { SelectModelRow(row); });
        chart_->help = [this] { form_.OpenHelpAt(QString::fromLatin1(HelpTopic::Chart)); };
    }
    Recompute();
    chart_->show();
    chart_->raise();
}

void TLotFeatures::UpdateChart() {
    if (!chart_)
        return;
    const TRecordStore& store = form_.program().Store;
    bool selection = false;
    const std::vector<int> rows = LotModelRows(&selection);
    const QHeaderView* header = form_.StringGrid1->verticalHeader();
    std::vector<TChartPoint> points;
    for (int row : rows) {
        const TMeasRecord& r =
            store.Records[static_cast<size_t>(store.DisplayOrder[static_cast<size_t>(row)])];
        if (IsDeletedRecord(r))
            continue;
        const double density = RecordValues(r)[TQuantity::Density];
        if (!std::isfinite(density))
            continue;
        TChartPoint point{header->visualIndex(row) + 1, density, row};
        if (correctionState_.Correction)
            point.Corrected = CorrectedValues(r, *correctionState_.Correction).Density;
        points.push_back(point);
    }
    const bool corrected = statistics_.Corrected && statistics_.Corrected->Density.HasValues();
    chart_->SetData(std::move(points),
                    statistics_[TQuantity::Density].HasValues() ? statistics_[TQuantity::Density].Mean
                                                                : std::nan(""),
                    targetDensity_, corrected ? statistics_.Corrected->Density.Mean : std::nan(""));
}

void TLotFeatures::SelectModelRow(int row) {
    ResultsGrid* grid = form_.StringGrid1;
    if (row < 0 || row >= grid->model()->rowCount())
        return;
    const QModelIndex index = grid->model()->index(row, 0);
    grid->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    static_cast<QAbstractItemView*>(grid)->scrollTo(index);
}

TExportTexts TLotFeatures::ExportTexts() const {
    TExportTexts t;
    t.Documented = [this](const QString& key) { return form_.Msg(key); };
    t.Extra = [this](const QString& key) { return Extra(key); };
    t.Record = TRecordTextContext::Fetch(t.Documented, form_.program().Language.EnglishUI());
    return t;
}

void TLotFeatures::Export(TTableFormat format) {
    const TExportTexts texts = ExportTexts();
    MessageRequest message;
    message.caption = form_.windowTitle();
    if (form_.program().Store.RecordCount.load() == 0 || !form_.Table().ShowsRecords()) {
        message.text = texts.New("ExportEmpty");
        message.icon = MsgIcon::Information;
        dialogs_.Message(message);
        return;
    }
    auto lock = form_.Device().LockStore();
    if (!lock.owns_lock()) {
        QApplication::beep();
        return;
    }
    static const char* const filters[] = {"ExportXlsxFilter", "ExportKmlFilter", "ExportGeoJsonFilter"};
    static const char* const suffixes[] = {"xlsx", "kml", "geojson"};
    const auto f = static_cast<size_t>(format);
    FileDialogRequest request;
    request.title = texts.New(format == TTableFormat::Xlsx  ? "ExportXlsx"
                              : format == TTableFormat::Kml ? "ExportKml"
                                                            : "ExportGeoJson");
    request.title.remove(QStringLiteral("..."));
    request.filters = {texts.New(filters[f])};
    request.directory = form_.program().ResultsDir;
    request.fileName = QStringLiteral("Results.") + QString::fromLatin1(suffixes[f]);
    request.defaultSuffix = QString::fromLatin1(suffixes[f]);
    const std::optional<QString> path = dialogs_.SaveFileName(request);
    if (!path)
        return;
    // The whole table, rows in the order the user sees them.
    std::vector<int> records;
    for (int v = 0, rows = form_.Table().rowCount(); v < rows; ++v) {
        const int row = form_.StringGrid1->verticalHeader()->logicalIndex(v);
        records.push_back(form_.program().Store.DisplayOrder[static_cast<size_t>(row)]);
    }
    const TExportOutcome outcome =
        ExportTableFile(format, *path, form_.program().Store, records, texts, minCompaction_,
                        correction ? correction() : TLotCorrectionState{});
    const QString text = OutcomeMessage(outcome, *path, texts);
    if (outcome.Ok()) {
        form_.SetStatusBarGeneral(text);
        return;
    }
    message.text = text;
    message.icon = outcome.Result == TExportOutcome::WriteFailed ? MsgIcon::Error : MsgIcon::Information;
    dialogs_.Message(message);
}

} // namespace lum1
