#pragma once
// Breaks a memo's paragraphs into lines that fit its width: at blanks, or after a hyphen between
// letters, where it can; inside a word only when the word alone is wider than the box. Closing
// punctuation stays with the word before it: it may reach up to overhang past the width (into
// the box's side gaps), and a cut inside a word never leaves it at the start of a line.

#include "report/ReportFonts.h"
#include "report/SimpleHtml.h"

#include <vector>

namespace lum1 {

std::vector<TTextLine> WrapParagraphs(const std::vector<TParagraph>& paragraphs, const TFontSpec& font,
                                      double maxWidth, bool wordWrap, TFontCache& fonts, double overhang = 0);

// The height of a line of the font (layout units).
double LineHeight(const TFontSpec& font, TFontCache& fonts);

} // namespace lum1
