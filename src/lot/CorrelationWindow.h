#pragma once
// The correlation window: pairs of a record of the lot and the lab's core density, typed in or
// pasted from a spreadsheet as two columns; the offset and, from five pairs, the least-squares
// line with the pairs' residuals and a scatter plot of both fits. The user chooses the offset or
// the line; every refusal of the fit is listed in words, and an outlier stays in only when the
// user ticks that choice. Nothing is applied until the user applies the chosen fit.

#include "acceptance/LotCorrelation.h"

#include <QDateTime>
#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace lum1 {

class IDialogs;
class TCorrelationPlot;

struct TCorrelationSetup {
    std::vector<TLotRecord> Lot;            // the lot's records, keyed as pairs name them
    std::optional<TLotCorrelation> Current; // the correlation chosen for the lot so far
    QString Author;                         // proposed for a new correlation
    // An archive lot's mix: a new correlation may be kept for it, and those kept for it offered.
    QString Mix;
    std::vector<TLotCorrelation> MixCorrelations;
    IDialogs* Dialogs = nullptr;
    std::function<QString(const QString&)> Extra; // the new features' texts
    QChar Separator = u'.';
    QString Caption; // of the message boxes
    std::function<void()> Help;
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
};

class TCorrelationWindow : public QDialog {
    Q_OBJECT
public:
    TCorrelationWindow(TCorrelationSetup setup, QWidget* parent = nullptr);
    ~TCorrelationWindow() override;

    // Once accepted: the correlation applied, or nothing when the user removed the correction.
    const std::optional<TLotCorrelation>& Result() const { return result_; }

    // The pairs in the table (rows with a record number), and the rows whose record is no number.
    std::vector<TCorePair> Pairs() const;
    void SetPairs(const std::vector<TCorePair>& pairs, const QStringList& coreTexts = {});
    // Two spreadsheet columns (or a file's lines) put into the table from the current row on, as
    // Ctrl+V does with the clipboard's text. False (and a message) for text that holds no pairs.
    bool PasteText(const QString& text);
    void Paste();

    TCorrelationKind Kind() const;
    const TCorrelationFit& Fit(TCorrelationKind kind) const;
    // The problems listed, as shown.
    QStringList ShownIssues() const;
    QString OffsetText() const;
    QString LineText() const;

    QTableWidget* PairsTable() const { return table_; }
    TCorrelationPlot* Plot() const { return plot_; }
    QRadioButton* OffsetButton() const { return offsetKind_; }
    QRadioButton* LineButton() const { return lineKind_; }
    QCheckBox* KeepOutliersBox() const { return keepOutliers_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* RemoveButton() const { return remove_; }
    QLineEdit* NameBox() const { return name_; }
    QLineEdit* AuthorBox() const { return author_; }
    QCheckBox* ForMixBox() const { return forMix_; }
    QComboBox* KeptBox() const { return kept_; }
    QPushButton* UseKeptButton() const { return useKept_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QString Text(const char* key) const;
    void SetTexts();
    void Refit();
    void EnsureBlankRow();
    void DeleteRows();
    void ClearCells();
    void ApplyFit();
    void UseKept();
    void Tell(const QString& text);

    TCorrelationSetup setup_;
    std::optional<TLotCorrelation> result_;
    TCorrelationFit offsetFit_, lineFit_;
    std::vector<int> pairRows_; // table row of each pair
    QStringList rowErrors_;
    bool filling_ = false;

    QTableWidget* table_;
    TCorrelationPlot* plot_;
    QLabel* offsetLabel_;
    QLabel* offsetResult_;
    QLabel* lineLabel_;
    QLabel* lineResult_;
    QLabel* issuesLabel_;
    QListWidget* issues_;
    QLabel* status_;
    QRadioButton* offsetKind_;
    QRadioButton* lineKind_;
    QCheckBox* keepOutliers_;
    QLabel* nameLabel_;
    QLineEdit* name_;
    QLabel* authorLabel_;
    QLineEdit* author_;
    QPushButton* paste_;
    QPushButton* deleteRows_;
    QPushButton* clear_;
    QPushButton* apply_;
    QPushButton* remove_;
    QPushButton* close_;
    QCheckBox* forMix_;
    QLabel* keptLabel_;
    QComboBox* kept_;
    QPushButton* useKept_;
};

} // namespace lum1
