#pragma once
// The words of the acceptance: each issue's message, the marks of the points, the verdict and
// its reason, the rule, the limits and the correction, in the language of a lookup of the new
// features' texts (GetExtraMessage) and with the user's decimal separator.

#include "acceptance/LotAcceptance.h"

#include <QChar>
#include <QString>

#include <functional>

namespace lum1 {

using TTextLookup = std::function<QString(const QString& key)>;

QString AcceptanceIssueText(const TAcceptanceIssue& issue, const TTextLookup& extra, QChar separator);
QString PointMarkText(TPointMark mark, const TTextLookup& extra);
QString VerdictText(TVerdict verdict, const TTextLookup& extra);
// Why the verdict is what it is, in one sentence with the numbers it rests on.
QString VerdictReason(const TLotAcceptance& a, const TAcceptanceLimits& limits, const TTextLookup& extra,
                      QChar separator);
QString RuleText(const TAcceptanceLimits& limits, const TTextLookup& extra, QChar separator);
QString LimitsText(const TAcceptanceLimits& limits, const TTextLookup& extra, QChar separator);
QString CorrectionText(const TCorrection& correction, const TTextLookup& extra, QChar separator);
// The PWL line of the summary: the indices, the estimates per limit, the PWL and the threshold.
QString PwlText(const TPwlEstimate& pwl, double threshold, const TTextLookup& extra, QChar separator);

// A value of the judged quantity, a limit or a tolerance as the report prints it.
QString QuantityValueText(TAcceptanceQuantity q, double value, QChar separator);
// A density in kg/m3 as the table prints it ("#0" from 1000, "#0.00" below).
QString DensityText(double value, QChar separator);
// A difference in kg/m3 with its sign ("+12.5", "-3.0").
QString SignedDensityText(double value, QChar separator);

} // namespace lum1
