#pragma once
// The lab's core densities as text: a file of pairs, or two spreadsheet columns pasted into the
// correlation window. One pair a line, a record number and a core density.

#include "acceptance/Correlation.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace lum1 {

// Pairs of a record number and a core density, one a line: two fields split at TABs or
// semicolons, else at blanks (commas beside them dropped), else at a comma; the density with a
// point or a comma. Empty lines and lines from "#" are skipped, and a first line whose record number is
// no number is a heading. A density that is no number stays NaN, for the correlation to name
// its pair. errorLine: the first line that holds no pair (0: none). coreTexts: the core fields as
// written, one per pair (so that a window shows "#N/A" as the user pasted it).
std::vector<TCorePair> ParseCoresText(const QString& text, int* errorLine, QStringList* coreTexts = nullptr);

// A core density as typed: a point or a comma before the decimals; NaN for anything else.
double ParseCoreDensity(const QString& text);

} // namespace lum1
