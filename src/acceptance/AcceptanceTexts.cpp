#include "acceptance/AcceptanceTexts.h"

#include "platform/FormatFloat.h"

#include <cmath>

namespace lum1 {

namespace {

QString Text(const TTextLookup& extra, const char* key) {
    return extra ? extra(QString::fromLatin1(key)) : QString();
}

QString Number(double value, const char16_t* pattern, QChar separator) {
    return FormatFloat(value, pattern, separator);
}

// A quality index; a sample without spread has an infinite one.
QString IndexText(double q, QChar separator) {
    if (std::isinf(q))
        return q > 0 ? QStringLiteral("∞") : QStringLiteral("−∞");
    return Number(q, u"#0.00", separator);
}

} // namespace

QString DensityText(double value, QChar separator) {
    if (!std::isfinite(value))
        return QString();
    return FormatFloat(value, value >= 1000.0 ? u"#0" : u"#0.00", separator);
}

QString SignedDensityText(double value, QChar separator) {
    const QString text = FormatFloat(value, u"#0.0", separator);
    return text.startsWith(u'-') ? text : QStringLiteral("+") + text;
}

QString QuantityValueText(TAcceptanceQuantity q, double value, QChar separator) {
    if (!std::isfinite(value))
        return QString();
    return q == TAcceptanceQuantity::Compaction ? Number(value, u"#0.000", separator)
                                                : DensityText(value, separator);
}

QString AcceptanceIssueText(const TAcceptanceIssue& issue, const TTextLookup& extra, QChar separator) {
    const QString pair = QString::number(issue.Pair);
    const QString key = QString::number(issue.Key);
    switch (issue.Kind) {
    case TAcceptanceIssue::TooFewPairs:
        return Text(extra, "AccTooFewPairs").arg(issue.Count);
    case TAcceptanceIssue::TooFewForLine:
        return Text(extra, "AccTooFewForLine").arg(issue.Count);
    case TAcceptanceIssue::EqualGauge:
        return Text(extra, "AccEqualGauge").arg(DensityText(issue.Value, separator));
    case TAcceptanceIssue::CoreZero:
        return Text(extra, "AccCoreZero").arg(pair, key);
    case TAcceptanceIssue::CoreNegative:
        return Text(extra, "AccCoreNegative").arg(pair, key, Number(issue.Value, u"#0.0", separator));
    case TAcceptanceIssue::CoreNotNumber:
        return Text(extra, "AccCoreNotNumber").arg(pair, key);
    case TAcceptanceIssue::MissingRecord:
        return Text(extra, "AccMissingRecord").arg(pair, key);
    case TAcceptanceIssue::AmbiguousRecord:
        return Text(extra, "AccAmbiguousRecord").arg(pair, key, QString::number(issue.Count));
    case TAcceptanceIssue::DuplicatePair:
        return Text(extra, "AccDuplicatePair").arg(QString::number(issue.OtherPair), pair, key);
    case TAcceptanceIssue::NoGaugeDensity:
        return Text(extra, "AccNoGaugeDensity").arg(pair, key);
    case TAcceptanceIssue::Outlier:
        return Text(extra, "AccOutlier").arg(pair, key, SignedDensityText(issue.Value, separator));
    case TAcceptanceIssue::OutlierKept:
        return Text(extra, "AccOutlierKept").arg(pair, key, SignedDensityText(issue.Value, separator));
    case TAcceptanceIssue::PairChanged:
        return Text(extra, "AccPairChanged")
            .arg(pair, key, DensityText(issue.Value, separator), DensityText(issue.Other, separator));
    case TAcceptanceIssue::NoValidDensity:
        return Text(extra, "AccNoValidDensity");
    case TAcceptanceIssue::NoJudgedPoint:
        return Text(extra, "AccNoJudgedPoint");
    case TAcceptanceIssue::PwlTooFewPoints:
        return Text(extra, "AccPwlTooFewPoints").arg(issue.Count);
    case TAcceptanceIssue::BadLimits:
        return Text(extra, "AccBadLimits");
    }
    return QString();
}

QString PointMarkText(TPointMark mark, const TTextLookup& extra) {
    switch (mark) {
    case TPointMark::Pass:
        return Text(extra, "AccMarkPass");
    case TPointMark::Below:
        return Text(extra, "AccMarkBelow");
    case TPointMark::Above:
        return Text(extra, "AccMarkAbove");
    case TPointMark::BelowWithinTolerance:
        return Text(extra, "AccMarkBelowTol");
    case TPointMark::AboveWithinTolerance:
        return Text(extra, "AccMarkAboveTol");
    case TPointMark::NotJudged:
        return Text(extra, "AccMarkNotJudged");
    }
    return QString();
}

QString VerdictText(TVerdict verdict, const TTextLookup& extra) {
    switch (verdict) {
    case TVerdict::Accepted:
        return Text(extra, "AccAccepted");
    case TVerdict::Rejected:
        return Text(extra, "AccRejected");
    case TVerdict::NoVerdict:
        return Text(extra, "AccNoVerdict");
    }
    return QString();
}

QString VerdictReason(const TLotAcceptance& a, const TAcceptanceLimits& limits, const TTextLookup& extra,
                      QChar separator) {
    if (a.Verdict == TVerdict::NoVerdict) {
        QStringList reasons;
        for (const TAcceptanceIssue& i : a.Issues)
            reasons << AcceptanceIssueText(i, extra, separator);
        return reasons.join(QStringLiteral("; "));
    }
    switch (limits.Rule) {
    case TAcceptanceRule::EveryPoint:
        if (a.Below + a.Above == 0)
            return Text(extra, "AccReasonEveryPass").arg(a.Judged);
        return Text(extra, "AccReasonEveryFail").arg(a.Below + a.Above).arg(a.Judged);
    case TAcceptanceRule::MeanAndTolerance:
        return Text(extra, "AccReasonMean")
            .arg(QuantityValueText(limits.Quantity, a.JudgedMean, separator))
            .arg(a.BeyondTolerance);
    case TAcceptanceRule::Pwl:
        return Text(extra, "AccReasonPwl")
            .arg(a.Pwl ? Number(a.Pwl->Pwl, u"#0.0", separator) : QString(),
                 Number(limits.PwlThreshold, u"#0.0", separator));
    }
    return QString();
}

QString RuleText(const TAcceptanceLimits& limits, const TTextLookup& extra, QChar separator) {
    switch (limits.Rule) {
    case TAcceptanceRule::EveryPoint:
        return Text(extra, "AccRuleEvery");
    case TAcceptanceRule::MeanAndTolerance:
        return Text(extra, "AccRuleMean")
            .arg(QuantityValueText(limits.Quantity, limits.Tolerance, separator));
    case TAcceptanceRule::Pwl:
        return Text(extra, "AccRulePwl").arg(Number(limits.PwlThreshold, u"#0.0", separator));
    }
    return QString();
}

QString LimitsText(const TAcceptanceLimits& limits, const TTextLookup& extra, QChar separator) {
    const QString quantity =
        Text(extra, limits.Quantity == TAcceptanceQuantity::Compaction ? "AccQuantityCompaction"
                                                                       : "AccQuantityDensity");
    const QString lower = QuantityValueText(limits.Quantity, limits.Lower, separator);
    if (!limits.Upper)
        return QStringLiteral("%1 ≥ %2").arg(quantity, lower);
    return QStringLiteral("%1 ≤ %2 ≤ %3")
        .arg(lower, quantity, QuantityValueText(limits.Quantity, *limits.Upper, separator));
}

QString CorrectionText(const TCorrection& c, const TTextLookup& extra, QChar separator) {
    switch (c.Kind) {
    case TCorrelationKind::None:
        return Text(extra, "AccCorrNone");
    case TCorrelationKind::Offset:
        if (c.Pairs == 0)
            return Text(extra, "AccCorrOffsetGiven").arg(SignedDensityText(c.Offset, separator));
        return Text(extra, "AccCorrOffset")
            .arg(SignedDensityText(c.Offset, separator), QString::number(c.Pairs),
                 Number(c.OffsetSD, u"#0.0", separator));
    case TCorrelationKind::Line: {
        const QString slope = Number(c.Slope, u"#0.0000", separator);
        // Written as a term of the sum: "× gauge + 24.0", "× gauge − 379.6".
        const QString intercept = (c.Intercept < 0 ? QStringLiteral("− ") : QStringLiteral("+ ")) +
                                  Number(std::fabs(c.Intercept), u"#0.0", separator);
        if (c.Pairs == 0)
            return Text(extra, "AccCorrLineGiven").arg(slope, intercept);
        // Every core equal: the line explains nothing of a spread that does not exist.
        const QString r2 = std::isfinite(c.R2) ? Number(c.R2, u"#0.000", separator) : QStringLiteral("—");
        return Text(extra, "AccCorrLine")
            .arg(slope, intercept, QString::number(c.Pairs), r2, Number(c.SEE, u"#0.0", separator));
    }
    }
    return QString();
}

QString PwlText(const TPwlEstimate& pwl, double threshold, const TTextLookup& extra, QChar separator) {
    QString indices =
        Text(extra, "AccPwlLower").arg(IndexText(pwl.QL, separator), Number(pwl.PwlL, u"#0.0", separator));
    if (pwl.QU && pwl.PwlU)
        indices += QStringLiteral("; ") +
                   Text(extra, "AccPwlUpper")
                       .arg(IndexText(*pwl.QU, separator), Number(*pwl.PwlU, u"#0.0", separator));
    return Text(extra, "AccPwlTotal")
        .arg(Number(pwl.Pwl, u"#0.0", separator), indices, Number(threshold, u"#0.0", separator));
}

} // namespace lum1
