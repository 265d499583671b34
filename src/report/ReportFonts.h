#pragma once
// The Qt fonts of the report's text: one place decides them, so that the layout measures with
// the fonts the renderers draw with.

#include "report/PreparedReport.h"

#include <QFont>
#include <QFontMetricsF>

#include <map>
#include <tuple>

namespace lum1 {

// A raised or lowered run is drawn this much smaller than its line's font...
constexpr double ScriptScale = 0.65;
// ...and its baseline is this share of the line font's size above (below) the line's.
constexpr double SuperRise = 0.38;
constexpr double SubDrop = 0.15;

// Pixel sizes are layout units: a painter scaled from layout units to the device draws them
// at the right size on every device.
QFont MakeFont(const TFontSpec& font, const TTextRun& style);

// Font metrics by font and style, made once each.
class TFontCache {
public:
    const QFont& Font(const TFontSpec& font, const TTextRun& style);
    const QFontMetricsF& Metrics(const TFontSpec& font, const TTextRun& style);

private:
    using Key = std::tuple<QString, int, bool, int, bool, bool>;
    struct Entry {
        QFont font;
        QFontMetricsF metrics;
    };
    Entry& Get(const TFontSpec& font, const TTextRun& style);
    std::map<Key, Entry> entries_;
};

} // namespace lum1
