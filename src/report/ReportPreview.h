#pragma once
// The preview window of a prepared report: print (the system's default printer chosen first,
// then the print dialog), open and save a prepared report, page setup, zoom, page navigation,
// find, and export to text, PDF, HTML and CSV. Its texts are the report's interface texts
// (TfrxResources); every button has a tooltip and an accessible name in that language. It
// opens large: at the size the user last gave it, else maximised.

#include "platform/Dialogs.h"

#include <QDialog>
#include <QPrinter>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QPrintPreviewWidget;
class QSpinBox;
class QToolBar;

namespace lum1 {

class TfrxReport;
struct TPreparedBox;

enum class TExportFormat { Text, Pdf, Html, Csv };

class TReportPreview : public QDialog {
    Q_OBJECT
public:
    TReportPreview(TfrxReport& report, QWidget* parent = nullptr);
    ~TReportPreview() override;

    // Tests replace the print dialog (true: print with the printer's settings as they are now).
    std::function<bool(QPrinter&)> execPrintDialog;
    // F1, whatever the modifiers and whichever control has the focus: the manual.
    std::function<void()> help;

    void Print();
    // What Print does once it has the default printer: the report's paper on it, the print
    // dialog, then the pages the dialog chose.
    bool PrintWith(QPrinter& printer);
    // Prints the pages the printer's settings choose (all, a range or the current page).
    bool PrintOn(QPrinter& printer);
    // The prepared report to a file of its own, and back: a report opened so prints exactly as
    // it was saved (page setup is not offered for it, as its rows are not at hand).
    void SaveReport();
    void OpenReport();
    bool ShowsOpenedReport() const { return opened_; }
    void PageSetup();
    // The paper, orientation and margins the page setup chose: the report is laid out anew.
    void ApplyPageLayout(const QPageLayout& layout);
    void Export(TExportFormat format);
    // Finds the next box holding the text (case-insensitive) after the last one found, and shows
    // its page. False when no box holds it.
    bool FindNext(const QString& text);

    QPrintPreviewWidget* View() const { return view_; }
    int CurrentPage() const;
    int PageCount() const;
    void GoToPage(int page); // 1-based

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void RestoreSize();
    void SaveSize();
    void BuildToolbar();
    void ShowNewPages();
    void Tell(const QString& text, MsgIcon icon);
    QString Caption() const;
    QAction* AddButton(const QString& name, const QString& textKey, const QString& hintKey,
                       void (TReportPreview::*slot)());
    void PaintRequested(QPrinter* printer);
    void UpdatePageCounter();
    void ZoomTo100();
    void FirstPage();
    void PriorPage();
    void NextPage();
    void LastPage();
    void FindClicked();

    TfrxReport& report_;
    QPrinter previewPrinter_;
    QPrintPreviewWidget* view_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* pageCount_ = nullptr;
    QLineEdit* findEdit_ = nullptr;
    QAction* pageSetup_ = nullptr;
    bool opened_ = false;
    // The last box found: its page and its place on the page.
    int foundPage_ = -1;
    int foundBox_ = -1;
    const TPreparedBox* highlight_ = nullptr;
};

} // namespace lum1
