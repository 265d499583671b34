// Reading a memo's value: literally, or as the simple HTML one memo interprets.
#include "report/SimpleHtml.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

// A compact picture of the runs: normal text as it is, raised text in ^(...), lowered in _(...),
// bold in *...*, paragraphs separated by "|".
QString Picture(const std::vector<TParagraph>& paragraphs) {
    QString out;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0)
            out += u'|';
        for (const TTextRun& run : paragraphs[p]) {
            QString t = run.Text;
            if (run.Bold)
                t = u'*' + t + u'*';
            if (run.Script == TScript::Super)
                t = QStringLiteral("^(") + t + u')';
            if (run.Script == TScript::Sub)
                t = QStringLiteral("_(") + t + u')';
            out += t;
        }
    }
    return out;
}

TEST(SimpleHtml, ValuesAreReadAsTheirMemoSays) {
    struct Case {
        const char* value;
        bool html;
        const char* picture;
    };
    const Case cases[] = {
        // The unit as the language files hold it: the second <sup> opens again instead of closing.
        {"kg/m<sup>3<sup>", true, "kg/m^(3)"},
        {"m<sup>3</sup> and H<sub>2</sub>O", true, "m^(3) and H_(2)O"},
        {"<B>bold</B> <br>next", true, "*bold* |next"},
        {"a &lt; b &amp;&amp; c &gt; d &#8470; &nbsp;", true, "a < b && c > d № \u00a0"},
        // Not a known tag or entity: printed as it stands.
        {"x < y > z, <table>, &unknown; &", true, "x < y > z, <table>, &unknown; &"},
        {"</sup>unmatched", true, "unmatched"},
        {"kg/m<sup>3<sup> & more", false, "kg/m<sup>3<sup> & more"},
        {"one\r\ntwo\nthree", false, "one|two|three"},
        {"", false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Picture(ParseMemoText(QString::fromUtf8(c.value), c.html)), QString::fromUtf8(c.picture))
            << c.value;
}

} // namespace
} // namespace lum1
