#pragma once
// The results grid's column widths: columns 0 and 1 in pixels, columns 2..10 as shares (in
// ten-thousandths) of the width left for them.

#include <array>

namespace lum1 {

constexpr int GridColumns = 11;
constexpr int MinScaledColumnWidth = 50;
using ColWidths = std::array<int, GridColumns>;

constexpr ColWidths DefaultColWidths = {45, 125, 914, 1132, 1074, 1074, 1190, 2409, 1509, 769, 1001};
constexpr int NoStoredWidth = 65535;

// Pixel widths of all eleven columns for a grid whose client area is clientWidth wide.
ColWidths ComputeColumnWidths(const ColWidths& stored, int clientWidth);

// New stored shares of columns 2..10 from their current pixel widths (columns 0 and 1 keep
// their stored pixel widths).
ColWidths StoredWidthsFromGrid(const ColWidths& stored, const ColWidths& currentWidths);

// Shares of columns 2..10 that do not add up to 10000 scaled to it with the arithmetic of a mouse
// release (StoredWidthsFromGrid over the shares themselves). Shares a release wrote (its
// truncation leaves up to 9 short of 10000) stay as they are.
ColWidths NormaliseShares(const ColWidths& stored);

// The eleven widths read from the settings, or the defaults when the set is incomplete (any
// value 65535) or unusable (a negative width, a fixed column wider than 2000 pixels, a share
// above 10000); their shares normalised.
ColWidths AcceptStoredWidths(const ColWidths& read);

} // namespace lum1
