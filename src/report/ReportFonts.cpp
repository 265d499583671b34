#include "report/ReportFonts.h"

#include <cmath>

namespace lum1 {

QFont MakeFont(const TFontSpec& font, const TTextRun& style) {
    QFont f(font.Family);
    const double size = style.Script == TScript::Normal ? font.PixelSize : font.PixelSize * ScriptScale;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    f.setBold(font.Bold || style.Bold);
    f.setItalic(style.Italic);
    f.setUnderline(style.Underline);
    // Unhinted outlines measure the same on the screen, the printer and in a PDF file, so a
    // line broken for one fits on all of them.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

TFontCache::Entry& TFontCache::Get(const TFontSpec& font, const TTextRun& style) {
    const Key key{font.Family,  font.PixelSize, font.Bold || style.Bold, static_cast<int>(style.Script),
                  style.Italic, style.Underline};
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        QFont f = MakeFont(font, style);
        it = entries_.emplace(key, Entry{f, QFontMetricsF(f)}).first;
    }
    return it->second;
}

const QFont& TFontCache::Font(const TFontSpec& font, const TTextRun& style) {
    return Get(font, style).font;
}

const QFontMetricsF& TFontCache::Metrics(const TFontSpec& font, const TTextRun& style) {
    return Get(font, style).metrics;
}

} // namespace lum1
