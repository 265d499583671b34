#include "report/Report.h"

#include "report/ReportPreview.h"

namespace lum1 {

TfrxReportPage& TfrxReport::AddPage(const QString& name) {
    Pages.push_back(std::make_unique<TfrxReportPage>(name));
    return *Pages.back();
}

TfrxMemoView* TfrxReport::FindObject(const QString& name) const {
    for (const auto& page : Pages)
        for (const auto& band : page->Bands)
            for (const auto& memo : band->Memos)
                if (memo->Name == name)
                    return memo.get();
    return nullptr;
}

bool TfrxReport::PrepareReport() {
    prepared_ = TPreparedReport();
    TPreparedReport all;
    for (size_t i = 0; i < Pages.size(); ++i) {
        std::optional<TPreparedReport> part = LayoutReport(*Pages[i], DataSet, OnGetValue);
        if (!part)
            return false;
        // The prepared pages share the paper of the first template page.
        if (i == 0)
            all = std::move(*part);
        else
            for (TPreparedPage& p : part->Pages)
                all.Pages.push_back(std::move(p));
    }
    prepared_ = std::move(all);
    return true;
}

void TfrxReport::ShowReport() {
    if (PrepareReport())
        ShowPreparedReport();
}

void TfrxReport::ShowPreparedReport() {
    TReportPreview preview(*this, PreviewParent);
    preview.help = PreviewHelp;
    preview.exec();
}

} // namespace lum1
