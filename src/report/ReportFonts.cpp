#include "report/ReportFonts.h"

#include <cmath>

namespace lum1 {

QFont MakeFont(const TFontSpec& spec, const TTextRun& style) {
    QFont f(spec.Family);
    const double size = style.Script == TScript::Normal ? spec.PixelSize : spec.PixelSize * ScriptScale;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    f.setBold(spec.Bold || style.Bold);
    f.setItalic(style.Italic);
    f.setUnderline(style.Underline);
    // Unhinted outlines measure the same on the screen, the printer and in a PDF file, so a
    // line broken for one fits on all of them.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

TFontCache::Entry& TFontCache::Get(const TFontSpec& spec, const TTextRun& style) {
    const Key key{spec.Family,  spec.PixelSize, spec.Bold || style.Bold, static_cast<int>(style.Script),
                  style.Italic, style.Underline};
    auto it = entries_.find(key);
    if (it == entries_.end()) {
        QFont f = MakeFont(spec, style);
        it = entries_.emplace(key, Entry{f, QFontMetricsF(f)}).first;
    }
    return it->second;
}

const QFont& TFontCache::Font(const TFontSpec& spec, const TTextRun& style) {
    return Get(spec, style).font;
}

const QFontMetricsF& TFontCache::Metrics(const TFontSpec& spec, const TTextRun& style) {
    return Get(spec, style).metrics;
}

} // namespace lum1
