#include "report/PreparedReport.h"

namespace lum1 {

namespace {
QChar Scripted(QChar c, TScript script) {
    static const char16_t super[] = u"⁰¹²³⁴⁵⁶⁷⁸⁹";
    static const char16_t sub[] = u"₀₁₂₃₄₅₆₇₈₉";
    if (script == TScript::Normal || c < u'0' || c > u'9')
        return c;
    return QChar((script == TScript::Super ? super : sub)[c.unicode() - u'0']);
}
} // namespace

QString TTextLine::PlainText() const {
    QString out;
    for (const TTextRun& run : Runs)
        for (QChar c : run.Text)
            out += Scripted(c, run.Script);
    return out;
}

QString TPreparedBox::PlainText() const {
    QString out;
    bool joinWord = true;
    for (const TTextLine& line : Lines) {
        if (!out.isEmpty() && !joinWord)
            out += u' ';
        out += line.PlainText();
        joinWord = line.BrokenInWord;
    }
    return out;
}

} // namespace lum1
