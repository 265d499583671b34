#include "report/MeasurementReport.h"

#include "platform/Dialogs.h"

#include <algorithm>
#include <cmath>

namespace lum1 {

namespace {

// Variables of the row: the grid cell of the column, in the report's current row.
const char16_t* const kRowVariables[ReportColumns] = {
    u"№№",     u"ДатаВремя",  u"Плотность", u"Ку",      u"Porosity",    u"Температура",
    u"Объект", u"Координаты", u"Материал",  u"Толщина", u"К-воЗамеров",
};

} // namespace

TMeasurementReport::TMeasurementReport() {
    BuildMeasurementTemplate(frxReport1);
    frxReport1.DataSet = &frxUserDataSet1;
    frxReport1.OnGetValue = [this](const QString& name, QString& value) { frxReport1GetValue(name, value); };
    frxReport1.OnPageSetup = [this](TfrxReportPage&) { FitToPage(); };
    frxUserDataSet1.OnFirst = [this](TfrxUserDataSet& sender) { frxUserDataSet1First(sender); };
    frxUserDataSet1.OnCheckEOF = [this](TfrxUserDataSet& sender, bool& eof) {
        frxUserDataSet1CheckEOF(sender, eof);
    };
    ShowReport = [](TfrxReport& report) { report.ShowPreparedReport(); };
}

void TMeasurementReport::APrintExecute(int recordCount, const TReportGrid& grid,
                                       const TReportEnvironment& environment) {
    if (recordCount == 0)
        return;
    FirstReportRow = 2;
    LastReportRow = grid.RowCount - 1;
    if (grid.SelectionTop != grid.SelectionBottom && environment.Dialogs) {
        MessageRequest question;
        question.caption = environment.ApplicationTitle;
        question.text = environment.GetLangMessage(QStringLiteral("BlockReport"));
        question.icon = MsgIcon::Question;
        question.buttons = MsgButtons::YesNoCancel;
        question.parent = environment.Parent;
        const MsgResult answer = environment.Dialogs->Message(question);
        if (answer == MsgResult::Cancel)
            return;
        if (answer == MsgResult::Yes) {
            FirstReportRow = grid.SelectionTop;
            LastReportRow = grid.SelectionBottom;
        }
    }
    // A table without a data row never makes a report.
    if (LastReportRow < FirstReportRow || FirstReportRow < 2)
        return;
    // Every report starts from the documented page: a page setup made in an earlier preview
    // belonged to that report only.
    BuildMeasurementTemplate(frxReport1);
    columnWidths_ = grid.ColWidths;
    ScaleColumns(columnWidths_);

    // The callbacks read the grid only while this command runs, however it ends.
    struct TForgetGrid {
        const TReportGrid*& grid;
        ~TForgetGrid() { grid = nullptr; }
    } forget{grid_};
    grid_ = &grid;
    lookup_ = environment.GetLangMessage;
    frxReport1.Dialogs = environment.Dialogs;
    frxReport1.PreviewParent = environment.Parent;
    frxReport1.IniFile = environment.Settings;
    frxReport1.PreviewHelp = environment.Help;
    frxReport1.MessageCaption = environment.ApplicationTitle;
    frxReport1.Resources.Select(environment.LanguageFolder, environment.EnglishUI);
    const QString title = lookup_(QStringLiteral("ReportTitle"));
    frxReport1.DocumentInfo = {title, environment.ApplicationTitle, title, environment.ApplicationTitle};

    if (frxReport1.PrepareReport()) {
        if (environment.SetStatusBarGeneral)
            environment.SetStatusBarGeneral(lookup_(QStringLiteral("MesGenReport")));
        if (ShowReport)
            ShowReport(frxReport1);
    }
}

void TMeasurementReport::ScaleColumns(const std::array<int, ReportColumns>& widths) {
    long long sum = 0;
    for (int w : widths)
        sum += w;
    // Columns of no width leave nothing to scale by: the template's places stay.
    if (sum <= 0)
        return;
    const TfrxReportPage& page = *frxReport1.Pages.front();
    // The documented width (1023 units on the template's page, which has 1028 between its
    // margins) also serves a page setup's paper, but the columns never reach past its margins.
    const int available =
        std::max(0, static_cast<int>(std::min(page.Width() - 100.0, std::floor(page.UsableWidth() + 1e-9))));
    const float k = static_cast<float>(static_cast<double>(available) / static_cast<double>(sum));
    int left = 0;
    for (int c = 0; c < ReportColumns; ++c) {
        const int w = static_cast<int>(std::trunc(static_cast<double>(widths[static_cast<size_t>(c)]) * k));
        for (int base : {100, 200}) {
            if (TfrxMemoView* memo = frxReport1.FindObject(QStringLiteral("Memo%1").arg(base + c))) {
                memo->Left = left;
                memo->Width = w;
            }
        }
        left += w;
    }
}

void TMeasurementReport::FitToPage() {
    if (frxReport1.Pages.empty())
        return;
    const double width = frxReport1.Pages.front()->UsableWidth();
    for (const char* name : {"Memo2", "Memo1"})
        if (TfrxMemoView* memo = frxReport1.FindObject(QString::fromLatin1(name)))
            memo->Width = width;
    ScaleColumns(columnWidths_);
}

void TMeasurementReport::frxReport1GetValue(const QString& name, QString& value) const {
    auto text = [this](const char* key) { return lookup_ ? lookup_(QString::fromLatin1(key)) : QString(); };
    value.clear();
    if (name == u"Заголовок")
        value = text("ReportTitle");
    else if (name == u"ДатаВремяЗ")
        value = text("DateTime");
    else if (name == u"ПлотностьЗ")
        value = text("Dens") + QStringLiteral(", ") + text("KgM3html");
    else if (name == u"КуЗ")
        value = text("Compaction1") + u' ' + text("Compaction2");
    else if (name == u"PorosityЗ")
        value = text("Porosity");
    else if (name == u"ТемператураЗ")
        value = text("Temperature") + QStringLiteral(", °C");
    else if (name == u"ОбъектЗ")
        value = text("Object");
    else if (name == u"КоординатыЗ")
        value = text("Coord");
    else if (name == u"МатериалЗ")
        value = text("Material");
    else if (name == u"ТолщинаЗ")
        value = text("Thickness1") + u' ' + text("Thickness2");
    else if (name == u"К-воЗамеровЗ")
        value = text("AverNum1") + u' ' + text("AverNum2");
    else if (grid_ && grid_->Cell)
        for (int c = 0; c < ReportColumns; ++c)
            if (name == kRowVariables[c]) {
                value = grid_->Cell(c, FirstReportRow + frxUserDataSet1.RecNo());
                break;
            }
}

void TMeasurementReport::frxUserDataSet1First(TfrxUserDataSet& sender) const {
    sender.RangeEndCount = LastReportRow - FirstReportRow;
}

void TMeasurementReport::frxUserDataSet1CheckEOF(TfrxUserDataSet& sender, bool& eof) const {
    eof = eof || sender.RecNo() >= LastReportRow - FirstReportRow + 1;
}

} // namespace lum1
