#include "platform/XmlSafeText.h"

namespace lum1 {

namespace {
bool Allowed(const QString& text, qsizetype i) {
    const char16_t c = text[i].unicode();
    if (c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0xfffe || c == 0xffff)
        return false;
    if (QChar::isHighSurrogate(c))
        return i + 1 < text.size() && text[i + 1].isLowSurrogate();
    if (QChar::isLowSurrogate(c))
        return i > 0 && text[i - 1].isHighSurrogate();
    return true;
}
} // namespace

QString XmlSafeText(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && Allowed(text, i))
        ++i;
    if (i == text.size())
        return text;
    QString out = text.left(i);
    for (; i < text.size(); ++i)
        if (Allowed(text, i))
            out += text[i];
    return out;
}

} // namespace lum1
