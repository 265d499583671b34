#pragma once
// Turns a memo's value into paragraphs of styled runs: literally, or read as the simple HTML a
// memo may interpret (<sup>, <sub>, <b>, <i>, <u>, <br> and character entities). Anything else
// that looks like a tag is printed as it stands, so a stray "<" never swallows text.

#include "report/PreparedReport.h"

#include <QString>

#include <vector>

namespace lum1 {

using TParagraph = std::vector<TTextRun>;

// Paragraphs end at line breaks (CR LF, LF or CR; <br> as well with html).
std::vector<TParagraph> ParseMemoText(const QString& value, bool html);

} // namespace lum1
