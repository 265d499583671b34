#include "report/SimpleHtml.h"

namespace lum1 {

namespace {

struct TStyleState {
    int sup = 0, sub = 0, bold = 0, italic = 0, underline = 0;

    TTextRun Run() const {
        TTextRun r;
        r.Script = sup > 0 ? TScript::Super : sub > 0 ? TScript::Sub : TScript::Normal;
        r.Bold = bold > 0;
        r.Italic = italic > 0;
        r.Underline = underline > 0;
        return r;
    }
};

class TParagraphBuilder {
public:
    void Add(QChar c, const TStyleState& style) {
        TTextRun proto = style.Run();
        TParagraph& p = paragraphs_.back();
        if (p.empty() || p.back().Script != proto.Script || p.back().Bold != proto.Bold ||
            p.back().Italic != proto.Italic || p.back().Underline != proto.Underline)
            p.push_back(std::move(proto));
        p.back().Text += c;
    }
    void Break() { paragraphs_.emplace_back(); }
    std::vector<TParagraph> Take() { return std::move(paragraphs_); }

private:
    std::vector<TParagraph> paragraphs_ = std::vector<TParagraph>(1);
};

// The character of an entity at text[pos] ('&'), and the entity's length; length 0 when it is none.
std::pair<QChar, qsizetype> Entity(const QString& text, qsizetype pos) {
    const qsizetype end = text.indexOf(u';', pos);
    if (end < 0 || end - pos > 10)
        return {QChar(), 0};
    const QStringView name = QStringView(text).mid(pos + 1, end - pos - 1);
    static const std::pair<QStringView, char16_t> named[] = {{u"lt", u'<'},    {u"gt", u'>'},
                                                             {u"amp", u'&'},   {u"quot", u'"'},
                                                             {u"apos", u'\''}, {u"nbsp", u'\u00a0'}};
    for (const auto& [n, c] : named)
        if (name == n)
            return {QChar(c), end - pos + 1};
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint code = name.startsWith(u"#x", Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                      : name.mid(1).toUInt(&ok, 10);
        if (ok && code > 0 && code < 0xD800)
            return {QChar(static_cast<char16_t>(code)), end - pos + 1};
    }
    return {QChar(), 0};
}

// Applies a known tag at text[pos] ('<'); returns its length, or 0 when it is not one.
qsizetype Tag(const QString& text, qsizetype pos, TStyleState& style, TParagraphBuilder& out) {
    const qsizetype end = text.indexOf(u'>', pos);
    if (end < 0 || end - pos > 8)
        return 0;
    QString name = text.mid(pos + 1, end - pos - 1).trimmed().toLower();
    const bool closing = name.startsWith(u'/');
    if (closing)
        name = name.mid(1);
    if (name.endsWith(u'/'))
        name = name.chopped(1).trimmed();
    int* counter = name == u"sup"   ? &style.sup
                   : name == u"sub" ? &style.sub
                   : name == u"b"   ? &style.bold
                   : name == u"i"   ? &style.italic
                   : name == u"u"   ? &style.underline
                                    : nullptr;
    if (name == u"br") {
        out.Break();
    } else if (counter) {
        // An unmatched closing tag is ignored; an unclosed opening one lasts to the end.
        *counter = closing ? std::max(0, *counter - 1) : *counter + 1;
    } else {
        return 0;
    }
    return end - pos + 1;
}

} // namespace

std::vector<TParagraph> ParseMemoText(const QString& value, bool html) {
    TParagraphBuilder out;
    TStyleState style;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n')
                ++i;
            out.Break();
            continue;
        }
        if (html && c == u'<') {
            if (const qsizetype n = Tag(value, i, style, out)) {
                i += n - 1;
                continue;
            }
        }
        if (html && c == u'&') {
            if (const auto [e, n] = Entity(value, i); n > 0) {
                out.Add(e, style);
                i += n - 1;
                continue;
            }
        }
        out.Add(c, style);
    }
    return out.Take();
}

} // namespace lum1
