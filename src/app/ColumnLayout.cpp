#include "app/ColumnLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace lum1 {

ColWidths ComputeColumnWidths(const ColWidths& stored, int clientWidth) {
    ColWidths out{};
    out[0] = stored[0];
    out[1] = stored[1];
    // The shared width is taken as an unsigned number in the original arithmetic; a grid
    // narrower than the two fixed columns would wrap it to billions of pixels, so it stops at 0
    // instead and every scaled column gets the minimum width.
    const int64_t shared = int64_t(clientWidth) - stored[0] - stored[1] - 11;
    const auto a = static_cast<uint32_t>(std::max<int64_t>(shared, 0));
    const float k = static_cast<float>(a) * 0.0001f;
    int s = 0;
    float f = 0.0f;
    for (int i = 2; i < GridColumns; ++i) {
        float w = static_cast<float>(stored[i]) * k;
        if (w < MinScaledColumnWidth)
            w = MinScaledColumnWidth;
        int v = static_cast<int>(w);
        s += v;
        f += w;
        if (static_cast<int>(f) != s) {
            ++s;
            ++v;
        }
        out[i] = v;
    }
    return out;
}

ColWidths StoredWidthsFromGrid(const ColWidths& stored, const ColWidths& currentWidths) {
    int t = 0;
    for (int i = 2; i < GridColumns; ++i)
        t += currentWidths[i];
    if (t == 0)
        t = 1;
    const float f = 10000.0f / static_cast<float>(t);
    ColWidths out = stored;
    for (int i = 2; i < GridColumns; ++i)
        out[i] = static_cast<int>(static_cast<float>(currentWidths[i]) * f);
    return out;
}

ColWidths NormaliseShares(const ColWidths& stored) {
    int sum = 0;
    for (int i = 2; i < GridColumns; ++i)
        sum += stored[i];
    // The defaults add up to 11072: without this the columns would overflow the grid by a tenth
    // until the first mouse release.
    if (sum == 0 || std::abs(sum - 10000) <= GridColumns - 2)
        return stored;
    return StoredWidthsFromGrid(stored, stored);
}

ColWidths AcceptStoredWidths(const ColWidths& read) {
    for (int i = 0; i < GridColumns; ++i) {
        const int v = read[i];
        const int limit = i < 2 ? 2000 : 10000;
        if (v == NoStoredWidth || v < 0 || v > limit)
            return NormaliseShares(DefaultColWidths);
    }
    return NormaliseShares(read);
}

} // namespace lum1
