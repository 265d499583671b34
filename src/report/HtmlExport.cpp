#include "report/HtmlExport.h"

#include "platform/XmlSafeText.h"

#include <cmath>

namespace lum1 {

namespace {

QString Px(double units) {
    return QString::number(std::lround(units)) + QStringLiteral("px");
}

QString RunHtml(const TTextRun& run) {
    // Control characters from the gauge's raw bytes are errors in HTML: they are left out.
    QString t = XmlSafeText(run.Text).toHtmlEscaped();
    if (run.Bold)
        t = QStringLiteral("<b>") + t + QStringLiteral("</b>");
    if (run.Italic)
        t = QStringLiteral("<i>") + t + QStringLiteral("</i>");
    if (run.Underline)
        t = QStringLiteral("<u>") + t + QStringLiteral("</u>");
    if (run.Script == TScript::Super)
        t = QStringLiteral("<sup>") + t + QStringLiteral("</sup>");
    else if (run.Script == TScript::Sub)
        t = QStringLiteral("<sub>") + t + QStringLiteral("</sub>");
    return t;
}

// The box is a flex container that centres one inner block holding the lines, so that styled
// runs stay inline within their line.
void AppendBox(QString& out, const TPreparedBox& box) {
    // Boxes one unit wider and taller than their place, so that the borders of neighbours lie
    // on one line instead of side by side.
    const long left = std::lround(box.Rect.left());
    const long top = std::lround(box.Rect.top());
    const long width = std::lround(box.Rect.right()) - left + (box.Frame ? 1 : 0);
    const long height = std::lround(box.Rect.bottom()) - top + (box.Frame ? 1 : 0);
    out += QStringLiteral("<div class=\"b%1\" style=\"left:%2px;top:%3px;width:%4px;height:%5px;"
                          "font:%6 %7px '%8';%9\"><div>")
               .arg(box.Frame ? QStringLiteral(" f") : QString())
               .arg(left)
               .arg(top)
               .arg(width)
               .arg(height)
               .arg(box.Font.Bold ? QStringLiteral("bold") : QStringLiteral("normal"))
               .arg(box.Font.PixelSize)
               .arg(XmlSafeText(box.Font.Family).toHtmlEscaped())
               .arg(QStringLiteral("text-align:%1;justify-content:%2")
                        .arg(box.HCentred ? QStringLiteral("center") : QStringLiteral("left"),
                             box.VCentred ? QStringLiteral("center") : QStringLiteral("flex-start")));
    for (size_t i = 0; i < box.Lines.size(); ++i) {
        if (i > 0)
            out += QStringLiteral("<br>");
        for (const TTextRun& run : box.Lines[i].Runs)
            out += RunHtml(run);
    }
    out += QStringLiteral("</div></div>\n");
}

} // namespace

QByteArray ExportHtml(const TPreparedReport& report, const QString& title) {
    const double mm = UnitsPerMm;
    const double pageWidth = report.PageWidthMm * mm;
    const double pageHeight = report.PageHeightMm * mm;
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>");
    out += XmlSafeText(title).toHtmlEscaped();
    out += QStringLiteral("</title>\n<style>\n"
                          ".page{position:relative;margin:0 0 16px 0;background:#fff;overflow:hidden}\n"
                          ".b{position:absolute;box-sizing:border-box;display:flex;flex-direction:column;"
                          "padding:1px 2px;color:#000;line-height:normal;overflow:hidden;white-space:nowrap}\n"
                          ".f{border:1px solid #000}\n"
                          "sup,sub{font-size:65%;line-height:0}\n"
                          "</style>\n</head>\n<body>\n");
    for (const TPreparedPage& page : report.Pages) {
        out += QStringLiteral("<div class=\"page\" style=\"width:%1;height:%2\">\n")
                   .arg(Px(pageWidth), Px(pageHeight));
        for (const TPreparedBox& box : page.Boxes)
            AppendBox(out, box);
        out += QStringLiteral("</div>\n");
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace lum1
