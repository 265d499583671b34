#include "results/RecordTexts.h"

#include "platform/Cp1251.h"
#include "platform/FormatFloat.h"

#include <cmath>
#include <cstdlib>

namespace lum1 {
namespace {

// printf "%*u" and "%0*u" without going through a format string per cell.
void AppendPadded(QString& out, unsigned value, int width, char16_t pad) {
    const QString digits = QString::number(value);
    for (qsizetype i = digits.size(); i < width; ++i)
        out += QChar(pad);
    out += digits;
}

} // namespace

TRecordTextContext TRecordTextContext::Fetch(const LangLookup& lookup, bool englishUI,
                                             QChar decimalSeparator) {
    TRecordTextContext ctx;
    ctx.EnglishUI = englishUI;
    for (int m = 0; m < 12; ++m)
        ctx.MonthNames[static_cast<size_t>(m)] = lookup(QStringLiteral("Month") + QString::number(m + 1));
    ctx.MesDel = lookup(QStringLiteral("MesDel"));
    ctx.LongSouth = lookup(QStringLiteral("LongSouth"));
    ctx.LongNorth = lookup(QStringLiteral("LongNorth"));
    ctx.LatWest = lookup(QStringLiteral("LatWest"));
    ctx.LatEast = lookup(QStringLiteral("LatEast"));
    ctx.DecimalSeparator = decimalSeparator;
    return ctx;
}

TRecordTextContext TRecordTextContext::Fetch(const LangLookup& lookup, bool englishUI) {
    return Fetch(lookup, englishUI, SystemDecimalSeparator());
}

QString NumberText(const TMeasRecord& r) {
    return QString::number(r.Number);
}

QString DateTimeText(const TMeasRecord& r, const TRecordTextContext& ctx) {
    const QString& month = ctx.MonthNames[r.Month >= 1 && r.Month <= 12 ? r.Month - 1u : 0u];
    QString out;
    out.reserve(32);
    AppendPadded(out, r.Hours, 2, u' ');
    out += u':';
    AppendPadded(out, r.Minutes, 2, u'0');
    out += u':';
    AppendPadded(out, r.Seconds, 2, u'0');
    out += u" (";
    if (ctx.EnglishUI) {
        out += month;
        out += u' ';
        AppendPadded(out, r.Day, 2, u' ');
        out += u", 20";
    } else {
        AppendPadded(out, r.Day, 2, u' ');
        out += u' ';
        out += month;
        out += u" 20";
    }
    AppendPadded(out, r.Year, 2, u'0');
    out += u')';
    if (r.Seconds == DeletedMark)
        out += ctx.MesDel;
    return out;
}

TDensityTexts DensityTexts(const TMeasRecord& r, const TRecordTextContext& ctx) {
    const QChar sep = ctx.DecimalSeparator;
    const float density = r.Density;
    const float ref = r.RefDensity;
    TDensityTexts t;
    if (r.Mode == 2) {
        t.Density = FormatFloat(density, u"#0.0000", sep) + QStringLiteral(" (U)");
        return t;
    }
    t.Density = FormatFloat(density, density >= 1000.0f ? u"#0" : u"#0.00", sep);
    if (ref != 0.0f) {
        const double ratio = static_cast<double>(density) / static_cast<double>(ref);
        t.Compaction = FormatFloat(ratio, u"#0.000", sep);
        // Clamped before the narrowing as well: a huge ratio does not fit a float.
        double porosity = (1.0 - ratio) * 100.0;
        if (porosity < 0.0)
            porosity = 0.0;
        else if (porosity > 100.0)
            porosity = 100.0;
        else
            porosity = static_cast<float>(porosity);
        t.Porosity = FormatFloat(porosity, u"#0.0", sep);
    }
    return t;
}

QString TemperatureText(const TMeasRecord& r, const TRecordTextContext& ctx) {
    return FormatFloat(r.Temperature, u"#.0", ctx.DecimalSeparator);
}

QString FieldToText(const uint8_t* field, int size) {
    const int length = static_cast<int8_t>(field[0]);
    if (length <= 0 || length >= size)
        return {};
    int n = 0;
    while (n < length && field[1 + n] != 0)
        ++n;
    return DecodeCp1251(field + 1, static_cast<std::size_t>(n));
}

QString CoordToText(int32_t value, bool longitude, const TRecordTextContext& ctx) {
    if (value == 0)
        return QStringLiteral("-");
    // The magnitude of INT32_MIN does not fit a signed 32-bit number.
    const uint32_t a = static_cast<uint32_t>(std::llabs(static_cast<long long>(value)));
    const uint32_t high = a / 65536u;
    const uint32_t degrees = high / 100u;
    const uint32_t minutes = high % 100u;
    if (degrees > (longitude ? 180u : 90u))
        return QStringLiteral("-");
    const uint32_t fraction = a % 65536u;
    const int tenths = static_cast<int>(fraction * 600.0 / 65536.0 + 0.5);

    QString out;
    out.reserve(24);
    AppendPadded(out, degrees, 2, u'0');
    out += u'°';
    AppendPadded(out, minutes, 2, u'0');
    out += u'\'';
    out += FormatFloat(tenths / 10.0, u"00.0", ctx.DecimalSeparator);
    out += u"\" ";
    if (longitude)
        out += value < 0 ? ctx.LatWest : ctx.LatEast;
    else
        out += value < 0 ? ctx.LongSouth : ctx.LongNorth;
    return out;
}

QString CoordinatesText(const TMeasRecord& r, const TRecordTextContext& ctx) {
    return CoordToText(r.Latitude, false, ctx) + u' ' + CoordToText(r.Longitude, true, ctx);
}

QString ThicknessText(const TMeasRecord& r) {
    return QString::number(r.Thickness);
}

QString AverNumText(const TMeasRecord& r) {
    return QString::number(r.AverNum);
}

TRowTexts RowTexts(const TMeasRecord& r, const TRecordTextContext& ctx) {
    TDensityTexts density = DensityTexts(r, ctx);
    return {NumberText(r),
            DateTimeText(r, ctx),
            std::move(density.Density),
            std::move(density.Compaction),
            std::move(density.Porosity),
            TemperatureText(r, ctx),
            FieldToText(r.ObjectName, sizeof r.ObjectName),
            CoordinatesText(r, ctx),
            FieldToText(r.MaterialName, sizeof r.MaterialName),
            ThicknessText(r),
            AverNumText(r)};
}

} // namespace lum1
