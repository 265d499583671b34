#include "lot/AcceptanceSettings.h"

#include "platform/IniFile.h"

#include <cmath>
#include <optional>

namespace lum1 {

namespace {

const QString kHeader = QStringLiteral("ReportHeader");
const QString kLimits = QStringLiteral("LotAcceptance");

struct TField {
    const char* key;
    QString TAcceptanceHeader::*field;
};

const TField kFields[] = {
    {"Organisation", &TAcceptanceHeader::Organisation},
    {"Project", &TAcceptanceHeader::Project},
    {"Road", &TAcceptanceHeader::Road},
    {"Mix", &TAcceptanceHeader::Mix},
    {"Layer", &TAcceptanceHeader::Layer},
    {"Gauge", &TAcceptanceHeader::Gauge},
    {"Operator", &TAcceptanceHeader::Operator},
};

// The profile reader trims a value and strips one pair of quotes around it: a text is written
// inside quotes of its own, so that its own quotes and blanks come back as they were. Line
// breaks would end the value.
QString Quoted(QString text) {
    for (QChar& c : text)
        if (c == u'\r' || c == u'\n')
            c = u' ';
    return u'"' + text + u'"';
}

std::optional<double> Number(const TIniFile& ini, const char* key) {
    QString text = ini.ReadString(kLimits, QString::fromLatin1(key), {}).trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional(v) : std::nullopt;
}

} // namespace

TReportHeaderSetup ReadReportHeader(const TIniFile& ini) {
    TReportHeaderSetup s;
    for (const TField& f : kFields)
        s.Header.*f.field = ini.ReadString(kHeader, QString::fromLatin1(f.key), {});
    s.Logo = ini.ReadString(kHeader, QStringLiteral("Logo"), {});
    return s;
}

void WriteReportHeader(TIniFile& ini, const TReportHeaderSetup& setup) {
    std::vector<std::pair<QString, QString>> values;
    for (const TField& f : kFields)
        values.emplace_back(QString::fromLatin1(f.key), Quoted(setup.Header.*f.field));
    values.emplace_back(QStringLiteral("Logo"), Quoted(setup.Logo));
    ini.WriteStrings(kHeader, values);
}

TAcceptanceHeader LotHeader(const TAcceptanceHeader& setup, const QString& lot, const QString& object,
                            const QString& material, const QString& layer) {
    TAcceptanceHeader h = setup;
    h.Lot = lot;
    for (auto [field, value] : {std::pair{&h.Road, &object}, {&h.Mix, &material}, {&h.Layer, &layer}})
        if (!value->trimmed().isEmpty())
            *field = *value;
    return h;
}

TAcceptanceLimits ReadAcceptanceLimits(const TIniFile& ini, double statisticsMinimum) {
    TAcceptanceLimits l;
    const bool density = ini.ReadString(kLimits, QStringLiteral("Quantity"), {})
                             .trimmed()
                             .compare(QStringLiteral("density"), Qt::CaseInsensitive) == 0;
    l.Quantity = density ? TAcceptanceQuantity::Density : TAcceptanceQuantity::Compaction;
    const double top = density ? 10000.0 : 2.0;
    const auto lower = Number(ini, "Lower");
    l.Lower = lower && *lower >= 0 && *lower <= top ? *lower : density ? 0.0 : statisticsMinimum;
    const auto upper = Number(ini, "Upper");
    if (upper && *upper >= l.Lower && *upper <= top)
        l.Upper = upper;
    const QString rule = ini.ReadString(kLimits, QStringLiteral("Rule"), {}).trimmed().toLower();
    l.Rule = rule == u"mean"  ? TAcceptanceRule::MeanAndTolerance
             : rule == u"pwl" ? TAcceptanceRule::Pwl
                              : TAcceptanceRule::EveryPoint;
    const auto tolerance = Number(ini, "Tolerance");
    l.Tolerance = tolerance && *tolerance >= 0 && *tolerance <= top ? *tolerance : 0.0;
    const auto threshold = Number(ini, "PwlThreshold");
    l.PwlThreshold = threshold && *threshold >= 0 && *threshold <= 100 ? *threshold : 90.0;
    return l;
}

void WriteAcceptanceLimits(TIniFile& ini, const TAcceptanceLimits& l) {
    const bool density = l.Quantity == TAcceptanceQuantity::Density;
    const int decimals = density ? 1 : 3;
    ini.WriteStrings(
        kLimits,
        {{QStringLiteral("Quantity"), density ? QStringLiteral("density") : QStringLiteral("compaction")},
         {QStringLiteral("Lower"), QString::number(l.Lower, 'f', decimals)},
         {QStringLiteral("Upper"), l.Upper ? QString::number(*l.Upper, 'f', decimals) : QString()},
         {QStringLiteral("Rule"), l.Rule == TAcceptanceRule::Pwl                ? QStringLiteral("pwl")
                                  : l.Rule == TAcceptanceRule::MeanAndTolerance ? QStringLiteral("mean")
                                                                                : QStringLiteral("every")},
         {QStringLiteral("Tolerance"), QString::number(l.Tolerance, 'f', decimals)},
         {QStringLiteral("PwlThreshold"), QString::number(l.PwlThreshold, 'f', 1)}});
}

} // namespace lum1
