#include "acceptance/CorrectedValues.h"

#include "acceptance/LotAcceptance.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lum1 {

TCorrectedValues CorrectedValues(const TMeasRecord& r, const TCorrection& correction) {
    TCorrectedValues v;
    const double gauge = GaugeDensity(r);
    if (std::isnan(gauge))
        return v;
    const double corrected = correction.Apply(gauge);
    if (!std::isfinite(corrected))
        return v;
    v.Density = corrected;
    CompactionAndPorosity(r, corrected, v.Compaction, v.Porosity);
    return v;
}

TCorrectedStatistics ComputeCorrectedStatistics(const TRecordStore& store, std::span<const int> records,
                                                const TCorrection& correction,
                                                const QString& correctionText) {
    TCorrectedStatistics s;
    s.Correction = correctionText;
    std::vector<double> density, compaction, porosity;
    for (auto* v : {&density, &compaction, &porosity})
        v->reserve(records.size());
    const int count = std::clamp(store.RecordCount.load(), 0, MaxRecords);
    for (int index : records) {
        if (index < 0 || index >= count)
            continue;
        const TCorrectedValues v = CorrectedValues(store.Records[static_cast<size_t>(index)], correction);
        if (std::isnan(v.Density))
            continue;
        density.push_back(v.Density);
        if (!std::isnan(v.Compaction)) {
            compaction.push_back(v.Compaction);
            porosity.push_back(v.Porosity);
        }
    }
    s.Density = DescribeValues(density);
    s.Compaction = DescribeValues(compaction);
    s.Porosity = DescribeValues(porosity);
    return s;
}

void AddCorrectedStatistics(TLotStatistics& statistics, const TRecordStore& store,
                            std::span<const int> records, const TLotCorrectionState& state) {
    statistics.Corrected.reset();
    statistics.CorrectionRefused.clear();
    if (state.Correction)
        statistics.Corrected = ComputeCorrectedStatistics(store, records, *state.Correction, state.Text);
    else
        statistics.CorrectionRefused = state.Text;
}

} // namespace lum1
