#pragma once
// Why a correlation or a lot's verdict cannot be had, or what the user must know about it. Each
// kind has its own text (AcceptanceTexts.h); none is ever fixed up silently.

#include <QtGlobal>

#include <limits>

namespace lum1 {

struct TAcceptanceIssue {
    enum TKind {
        // The correlation to cores
        TooFewPairs,     // Count: the usable pairs
        TooFewForLine,   // Count: the usable pairs
        EqualGauge,      // Value: the one gauge density of every pair
        CoreZero,        // Pair, Key
        CoreNegative,    // Pair, Key, Value
        CoreNotNumber,   // Pair, Key
        MissingRecord,   // Pair, Key: no record of the lot has that key
        AmbiguousRecord, // Pair, Key, Count: records of the lot that have it
        DuplicatePair,   // Pair, OtherPair (the earlier), Key
        NoGaugeDensity,  // Pair, Key: deleted, a mode-2 reading, or not a positive number
        Outlier,         // Pair, Key, Value: the residual (kg/m3)
        OutlierKept,     // likewise, kept on the user's word
        // A kept correlation checked against its lot
        PairChanged, // Pair, Key, Value: the record's gauge density now; Other: when fitted
        // The lot
        NoValidDensity,  // no record of the lot has a usable density
        NoJudgedPoint,   // densities, but no compaction factor (no reference density)
        PwlTooFewPoints, // Count: the judged points
        BadLimits,
    };

    TKind Kind = TooFewPairs;
    int Pair = 0;      // 1-based place of the pair in the user's list; 0 when none is named
    int OtherPair = 0; // likewise
    qint64 Key = 0;    // the record the pair names
    int Count = 0;
    double Value = std::numeric_limits<double>::quiet_NaN();
    double Other = std::numeric_limits<double>::quiet_NaN();
    // Blocking issues stop the correlation or the verdict; the others are notes for the report.
    bool Blocking = true;
};

} // namespace lum1
