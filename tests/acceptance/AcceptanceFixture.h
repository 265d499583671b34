#pragma once
// Lots of records built from densities: the record number is the key pairs name them by.

#include "acceptance/Correlation.h"

#include "RecordFixture.h"

#include <vector>

namespace lum1::test {

struct TPoint {
    float density;
    float ref = 2400.0f;
};

inline std::vector<TLotRecord> Lot(const std::vector<TPoint>& points) {
    std::vector<TLotRecord> lot;
    for (size_t i = 0; i < points.size(); ++i) {
        TMeasRecord r = SampleRecord(static_cast<uint16_t>(i + 1));
        r.Density = points[i].density;
        r.RefDensity = points[i].ref;
        lot.push_back({r.Number, r});
    }
    return lot;
}

// Records 1..n with the given gauge densities, and the pairs naming them with the cores.
inline std::vector<TCorePair> Pairs(const std::vector<double>& cores) {
    std::vector<TCorePair> pairs;
    for (size_t i = 0; i < cores.size(); ++i)
        pairs.push_back({static_cast<qint64>(i + 1), cores[i]});
    return pairs;
}

} // namespace lum1::test
