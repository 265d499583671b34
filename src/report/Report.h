#pragma once
// The report object: its page templates, the data set it runs through, the value callback for
// bracketed names, and the prepared result that the preview, printing and exports share.

#include "report/PdfExport.h"
#include "report/PreparedReport.h"
#include "report/ReportLayout.h"
#include "report/ReportResources.h"
#include "report/ReportTemplate.h"
#include "report/UserDataSet.h"

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace lum1 {

class IDialogs;
class TIniFile;

class TfrxReport {
public:
    std::vector<std::unique_ptr<TfrxReportPage>> Pages;
    TfrxUserDataSet* DataSet = nullptr;
    TGetValue OnGetValue;
    // The preview's page setup has given a page new paper or margins and the report is about to
    // be prepared again: the client fits its memos to the page's new width.
    std::function<void(TfrxReportPage&)> OnPageSetup;

    // For the preview: its message boxes and file dialogs, its texts, the PDF's properties and
    // the folder its export dialog opens in (remembered from the last export).
    IDialogs* Dialogs = nullptr;
    TfrxResources Resources;
    TPdfProperties DocumentInfo;
    QString ExportFolder;
    QWidget* PreviewParent = nullptr;
    std::function<void()> PreviewHelp; // F1 in the preview
    // The caption of the preview's message boxes (the program's title); the window's own title
    // when empty.
    QString MessageCaption;
    // Where the preview keeps its own settings (its size, in the section [ReportPreview]); none
    // when null.
    TIniFile* IniFile = nullptr;

    TfrxReportPage& AddPage(const QString& name);
    // The memo of a name on any page, or nullptr.
    TfrxMemoView* FindObject(const QString& name) const;

    // Clears any earlier result and lays out the pages anew. False (and an empty result) when the
    // data set never ends.
    bool PrepareReport();
    const TPreparedReport& PreparedPages() const { return prepared_; }
    // A prepared report from elsewhere (a saved file) in place of the last result.
    void SetPreparedPages(TPreparedReport pages) { prepared_ = std::move(pages); }

    // Prepares the report and shows it in the modal preview window.
    void ShowReport();
    // Shows the result of the last PrepareReport.
    void ShowPreparedReport();

private:
    TPreparedReport prepared_;
};

} // namespace lum1
