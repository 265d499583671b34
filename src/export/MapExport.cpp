#include "export/MapExport.h"

#include "platform/XmlSafeText.h"
#include "stats/LotStatistics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdlib>

namespace lum1 {

std::optional<QDateTime> RecordDateTime(const TMeasRecord& r) {
    // The table prints a year byte of 100 or more as "20" and three digits ("20255"): that is
    // no year the gauge meant, so it makes no date, as month 13 does not.
    if (r.Seconds == DeletedMark || r.Year >= 100)
        return std::nullopt;
    const QDate date(2000 + r.Year, r.Month, r.Day);
    const QTime time(r.Hours, r.Minutes, r.Seconds);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

std::optional<double> CoordToDegrees(int32_t value, bool longitude) {
    if (value == 0)
        return std::nullopt;
    const auto magnitude = static_cast<uint32_t>(std::llabs(static_cast<long long>(value)));
    const uint32_t high = magnitude / 65536u;
    const uint32_t degrees = high / 100u;
    const uint32_t minutes = high % 100u;
    if (degrees > (longitude ? 180u : 90u) || minutes >= 60u)
        return std::nullopt;
    const double fraction = (magnitude % 65536u) / 65536.0;
    const double result = degrees + (minutes + fraction) / 60.0;
    if (result > (longitude ? 180.0 : 90.0))
        return std::nullopt;
    return value < 0 ? -result : result;
}

std::optional<TPosition> RecordPosition(const TMeasRecord& r) {
    const auto lat = CoordToDegrees(r.Latitude, false);
    const auto lon = CoordToDegrees(r.Longitude, true);
    if (!lat || !lon)
        return std::nullopt;
    return TPosition{*lat, *lon};
}

namespace {

// 1/65536 of a minute is about 2.5e-7 degrees: eight decimals keep every step of the gauge.
QString Degrees(double v) {
    return QString::number(v, 'f', 8);
}

struct TPoint {
    const TMeasRecord* Record;
    TPosition Position;
};

std::vector<TPoint> Points(const TRecordStore& store, std::span<const int> records, int& skipped) {
    std::vector<TPoint> points;
    const int count = std::clamp(store.RecordCount.load(), 0, MaxRecords);
    skipped = 0;
    for (int index : records) {
        if (index < 0 || index >= count)
            continue;
        const TMeasRecord& r = store.Records[static_cast<size_t>(index)];
        const auto position = r.Seconds == DeletedMark ? std::nullopt : RecordPosition(r);
        if (!position) {
            ++skipped;
            continue;
        }
        points.push_back({&r, *position});
    }
    return points;
}

// The description's lines: label and the text the table shows.
std::vector<std::pair<QString, QString>> DescriptionLines(const TMeasRecord& r, const TExportTexts& t) {
    const TDensityTexts density = DensityTexts(r, t.Record);
    return {
        {t.Doc("DateTime"), DateTimeText(r, t.Record)},
        {t.Doc("Dens") + QStringLiteral(", ") + t.Doc("KgM3"), density.Density},
        {t.Doc("Compaction1") + u' ' + t.Doc("Compaction2"), density.Compaction},
        {t.Doc("Material"), FieldToText(r.MaterialName, sizeof r.MaterialName)},
        {t.Doc("Object"), FieldToText(r.ObjectName, sizeof r.ObjectName)},
    };
}

// Escaped, and without the characters XML 1.0 forbids: one control byte from the gauge would
// make a file every KML reader refuses.
QString Xml(const QString& s) {
    return XmlSafeText(s).toHtmlEscaped();
}

// The placemarks' values with their types, so that GIS programs read the numbers as numbers.
struct TField {
    const char* Name;
    const char* Type;
};
constexpr TField kFields[] = {{"number", "int"},      {"density", "double"},     {"compaction", "double"},
                              {"porosity", "double"}, {"temperature", "double"}, {"thickness", "int"},
                              {"material", "string"}, {"object", "string"}};
constexpr const char* kSchemaId = "measurement";

} // namespace

TMapResult ExportKml(const TRecordStore& store, std::span<const int> records, const TExportTexts& texts) {
    TMapResult result;
    const std::vector<TPoint> points = Points(store, records, result.Skipped);
    QString out;
    out.reserve(static_cast<qsizetype>(points.size()) * 900 + 512);
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n");
    out += QStringLiteral("<name>%1</name>\n").arg(Xml(texts.Doc("ReportTitle")));
    out += QStringLiteral("<Schema name=\"%1\" id=\"%1\">\n").arg(QLatin1String(kSchemaId));
    for (const TField& f : kFields)
        out += QStringLiteral("<SimpleField type=\"%1\" name=\"%2\"/>\n")
                   .arg(QLatin1String(f.Type), QLatin1String(f.Name));
    out += QStringLiteral("</Schema>\n");
    for (const TPoint& p : points) {
        const TMeasRecord& r = *p.Record;
        out += QStringLiteral("<Placemark>\n<name>%1</name>\n").arg(r.Number);
        // The description is HTML for the viewer's balloon; every value is escaped, so the
        // CDATA section can never be closed early by a text.
        out += QStringLiteral("<description><![CDATA[");
        bool first = true;
        for (const auto& [label, value] : DescriptionLines(r, texts)) {
            if (value.isEmpty())
                continue;
            if (!first)
                out += QStringLiteral("<br/>");
            first = false;
            out += Xml(label) + QStringLiteral(": ") + Xml(value);
        }
        out += QStringLiteral("]]></description>\n");
        if (const auto when = RecordDateTime(r))
            out += QStringLiteral("<TimeStamp><when>%1</when></TimeStamp>\n")
                       .arg(when->toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
        // Attribute fields for GIS programs (QGIS reads them as columns).
        const TRecordValues v = RecordValues(r);
        out += QStringLiteral("<ExtendedData><SchemaData schemaUrl=\"#%1\">\n").arg(QLatin1String(kSchemaId));
        auto data = [&out](const char* name, const QString& value) {
            if (!value.isEmpty())
                out += QStringLiteral("<SimpleData name=\"%1\">%2</SimpleData>\n")
                           .arg(QLatin1String(name), Xml(value));
        };
        auto number = [](double x, int decimals) {
            return std::isfinite(x) ? QString::number(x, 'f', decimals) : QString();
        };
        data("number", QString::number(r.Number));
        data("density", number(v[TQuantity::Density], 2));
        data("compaction", number(v[TQuantity::Compaction], 3));
        data("porosity", number(v[TQuantity::Porosity], 1));
        data("temperature", number(v[TQuantity::Temperature], 1));
        data("thickness", QString::number(r.Thickness));
        data("material", FieldToText(r.MaterialName, sizeof r.MaterialName));
        data("object", FieldToText(r.ObjectName, sizeof r.ObjectName));
        out += QStringLiteral("</SchemaData></ExtendedData>\n");
        out += QStringLiteral("<Point><coordinates>%1,%2</coordinates></Point>\n</Placemark>\n")
                   .arg(Degrees(p.Position.Longitude), Degrees(p.Position.Latitude));
        ++result.Written;
    }
    out += QStringLiteral("</Document>\n</kml>\n");
    result.Bytes = out.toUtf8();
    return result;
}

TMapResult ExportGeoJson(const TRecordStore& store, std::span<const int> records, const TExportTexts& texts) {
    TMapResult result;
    const std::vector<TPoint> points = Points(store, records, result.Skipped);
    QJsonArray features;
    auto number = [](double x, int decimals) {
        if (!std::isfinite(x))
            return QJsonValue(QJsonValue::Null);
        const double scale = std::pow(10.0, decimals);
        return QJsonValue(std::round(x * scale) / scale);
    };
    for (const TPoint& p : points) {
        const TMeasRecord& r = *p.Record;
        const TRecordValues v = RecordValues(r);
        QJsonObject properties;
        properties.insert(QStringLiteral("number"), r.Number);
        const auto when = RecordDateTime(r);
        properties.insert(QStringLiteral("time"),
                          when ? QJsonValue(when->toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
                               : QJsonValue(QJsonValue::Null));
        properties.insert(QStringLiteral("density"), number(v[TQuantity::Density], 2));
        properties.insert(QStringLiteral("compaction"), number(v[TQuantity::Compaction], 3));
        properties.insert(QStringLiteral("porosity"), number(v[TQuantity::Porosity], 1));
        properties.insert(QStringLiteral("temperature"), number(v[TQuantity::Temperature], 1));
        properties.insert(QStringLiteral("thickness"), r.Thickness);
        properties.insert(QStringLiteral("material"), FieldToText(r.MaterialName, sizeof r.MaterialName));
        properties.insert(QStringLiteral("object"), FieldToText(r.ObjectName, sizeof r.ObjectName));
        QStringList description;
        for (const auto& [label, value] : DescriptionLines(r, texts))
            if (!value.isEmpty())
                description << label + QStringLiteral(": ") + value;
        properties.insert(QStringLiteral("description"), description.join(QStringLiteral("; ")));

        QJsonObject geometry;
        geometry.insert(QStringLiteral("type"), QStringLiteral("Point"));
        geometry.insert(QStringLiteral("coordinates"),
                        QJsonArray{number(p.Position.Longitude, 8), number(p.Position.Latitude, 8)});
        QJsonObject feature;
        feature.insert(QStringLiteral("type"), QStringLiteral("Feature"));
        feature.insert(QStringLiteral("geometry"), geometry);
        feature.insert(QStringLiteral("properties"), properties);
        features.append(feature);
        ++result.Written;
    }
    QJsonObject collection;
    collection.insert(QStringLiteral("type"), QStringLiteral("FeatureCollection"));
    collection.insert(QStringLiteral("features"), features);
    result.Bytes = QJsonDocument(collection).toJson(QJsonDocument::Indented);
    return result;
}

} // namespace lum1
