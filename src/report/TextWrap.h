#pragma once
// Breaks a memo's paragraphs into lines that fit its width: at blanks where it can, inside a
// word only when the word alone is wider than the box.

#include "report/ReportFonts.h"
#include "report/SimpleHtml.h"

#include <vector>

namespace lum1 {

std::vector<TTextLine> WrapParagraphs(const std::vector<TParagraph>& paragraphs, const TFontSpec& font,
                                      double maxWidth, bool wordWrap, TFontCache& fonts);

// The height of a line of the font (layout units).
double LineHeight(const TFontSpec& font, TFontCache& fonts);

} // namespace lum1
