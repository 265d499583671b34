#include "lot/LotPanel.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace lum1 {

namespace {
constexpr int kColumns = 6;

void Name(QWidget* w, const QString& text, const QString& hint) {
    w->setAccessibleName(text);
    w->setToolTip(hint.isEmpty() ? text : hint);
}
} // namespace

TLotPanel::TLotPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LotPanel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);

    auto* left = new QVBoxLayout;
    table_ = new QTableWidget(0, kColumns, this);
    table_->setObjectName(QStringLiteral("LotTable"));
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(18);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    SetRowCount(QuantityCount);
    left->addWidget(table_);
    empty_ = new QLabel(this);
    empty_->setObjectName(QStringLiteral("LotEmpty"));
    empty_->hide();
    left->addWidget(empty_);
    rows_ = new QLabel(this);
    rows_->setObjectName(QStringLiteral("LotRows"));
    left->addWidget(rows_);
    acceptance_ = new QLabel(this);
    acceptance_->setObjectName(QStringLiteral("LotAcceptance"));
    left->addWidget(acceptance_);
    correction_ = new QLabel(this);
    correction_->setObjectName(QStringLiteral("LotCorrection"));
    correction_->setWordWrap(true);
    correction_->hide();
    left->addWidget(correction_);
    layout->addLayout(left, 1);

    // The settings and buttons in one narrow column, so the statistics keep the width.
    auto* right = new QGridLayout;
    minCompactionLabel_ = new QLabel(this);
    minCompaction_ = new QDoubleSpinBox(this);
    minCompaction_->setObjectName(QStringLiteral("LotMinCompaction"));
    minCompaction_->setDecimals(3);
    minCompaction_->setRange(0.0, 2.0);
    minCompaction_->setSingleStep(0.005);
    minCompaction_->setValue(DefaultMinCompaction);
    minCompactionLabel_->setBuddy(minCompaction_);
    targetDensityLabel_ = new QLabel(this);
    targetDensity_ = new QDoubleSpinBox(this);
    targetDensity_->setObjectName(QStringLiteral("LotTargetDensity"));
    targetDensity_->setDecimals(0);
    targetDensity_->setRange(0.0, 5000.0);
    targetDensity_->setSingleStep(10.0);
    targetDensityLabel_->setBuddy(targetDensity_);
    copy_ = new QPushButton(this);
    copy_->setObjectName(QStringLiteral("LotCopy"));
    chart_ = new QPushButton(this);
    chart_->setObjectName(QStringLiteral("LotChart"));
    right->addWidget(minCompactionLabel_, 0, 0, 1, 2);
    right->addWidget(minCompaction_, 1, 0, 1, 2);
    right->addWidget(targetDensityLabel_, 2, 0, 1, 2);
    right->addWidget(targetDensity_, 3, 0, 1, 2);
    right->addWidget(copy_, 4, 0);
    right->addWidget(chart_, 4, 1);
    right->setRowStretch(5, 1);
    layout->addLayout(right);

    connect(minCompaction_, &QDoubleSpinBox::valueChanged, this, &TLotPanel::minCompactionChanged);
    connect(targetDensity_, &QDoubleSpinBox::valueChanged, this, &TLotPanel::targetDensityChanged);
    connect(copy_, &QPushButton::clicked, this, &TLotPanel::copyRequested);
    connect(chart_, &QPushButton::clicked, this, &TLotPanel::chartRequested);
}

// The measured quantities, and the corrected ones after them while a correlation is applied.
void TLotPanel::SetRowCount(int rows) {
    const int before = table_->rowCount();
    table_->setRowCount(rows);
    for (int r = before; r < rows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
    table_->updateGeometry();
}

void TLotPanel::SetTexts(const TLotLabels& labels, const std::function<QString(const QString&)>& extra) {
    labels_ = labels;
    table_->setHorizontalHeaderLabels(
        {labels.QuantityHeader, labels.Used, labels.Mean, labels.SD, labels.Min, labels.Max});
    minCompactionLabel_->setText(labels.MinCompaction);
    targetDensityLabel_->setText(extra(QStringLiteral("LotTargetDensity")));
    copy_->setText(extra(QStringLiteral("LotCopy")));
    chart_->setText(extra(QStringLiteral("DensityChartMenu")));
    Name(this, extra(QStringLiteral("LotStatistics")), extra(QStringLiteral("LotTableHint")));
    Name(table_, extra(QStringLiteral("LotStatistics")), extra(QStringLiteral("LotTableHint")));
    Name(minCompaction_, labels.MinCompaction, extra(QStringLiteral("LotMinCompactionHint")));
    Name(minCompactionLabel_, labels.MinCompaction, extra(QStringLiteral("LotMinCompactionHint")));
    Name(targetDensity_, extra(QStringLiteral("LotTargetDensity")),
         extra(QStringLiteral("LotTargetDensityHint")));
    Name(targetDensityLabel_, extra(QStringLiteral("LotTargetDensity")),
         extra(QStringLiteral("LotTargetDensityHint")));
    Name(copy_, extra(QStringLiteral("LotCopy")), extra(QStringLiteral("LotCopyHint")));
    Name(chart_, extra(QStringLiteral("DensityChart")), extra(QStringLiteral("DensityChartHint")));
    Name(rows_, labels.Rows, {});
    Name(acceptance_, labels.MinCompaction, {});
    Name(empty_, labels.Empty, {});
    Name(correction_, labels.Correction, {});
}

void TLotPanel::ShowStatistics(const TLotStatistics& statistics, QChar separator) {
    const std::vector<QStringList> lines = LotStatisticsLines(statistics, labels_, separator);
    const bool empty = statistics.Empty();
    const bool correction = !empty && (statistics.Corrected || !statistics.CorrectionRefused.isEmpty());
    table_->setVisible(!empty);
    rows_->setVisible(!empty);
    acceptance_->setVisible(!empty);
    correction_->setVisible(correction);
    empty_->setVisible(empty);
    copy_->setEnabled(!empty);
    if (empty) {
        empty_->setText(lines.front().value(0));
        return;
    }
    const int quantities =
        QuantityCount + (statistics.Corrected ? static_cast<int>(CorrectedQuantities.size()) : 0);
    if (table_->rowCount() != quantities)
        SetRowCount(quantities);
    for (int r = 0; r < quantities; ++r)
        for (int c = 0; c < kColumns; ++c)
            table_->item(r, c)->setText(lines[static_cast<size_t>(r + 1)].value(c));
    rows_->setText(lines[static_cast<size_t>(quantities + 1)].join(QStringLiteral("    ")));
    acceptance_->setText(lines[static_cast<size_t>(quantities + 2)].value(2));
    if (correction)
        correction_->setText(lines[static_cast<size_t>(quantities + 3)].join(QStringLiteral(": ")));
}

QStringList TLotPanel::ShownLines() const {
    QStringList out;
    if (empty_->isVisibleTo(this))
        return {empty_->text()};
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < kColumns; ++c)
            cells << table_->item(r, c)->text();
        out << cells.join(u'\t');
    }
    out << rows_->text() << acceptance_->text();
    if (correction_->isVisibleTo(this))
        out << correction_->text();
    return out;
}

double TLotPanel::MinCompaction() const {
    return minCompaction_->value();
}
void TLotPanel::SetMinCompaction(double value) {
    minCompaction_->setValue(value);
}
double TLotPanel::TargetDensity() const {
    return targetDensity_->value();
}
void TLotPanel::SetTargetDensity(double value) {
    targetDensity_->setValue(value);
}

} // namespace lum1
