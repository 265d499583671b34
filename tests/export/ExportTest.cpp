// Excel and map exports, read back: the workbook unzipped and its XML parts parsed, the KML and
// GeoJSON parsed; refusals and failed writes.
#include "LibreOffice.h"
#include "RecordFixture.h"
#include "TempDir.h"

#include "export/MapExport.h"
#include "export/TableExport.h"
#include "export/XlsxExport.h"
#include "lang/ExtraTexts.h"
#include "platform/FormatFloat.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <string>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lum1 {
namespace {

using test::SampleRecord;

int32_t Coord(bool negative, int ddmm, int fraction) {
    const int32_t magnitude = (ddmm << 16) | fraction;
    return negative ? -magnitude : magnitude;
}

// 1: north-east, complete. 2: deleted (with a position). 3: south-west. 4: no position, a mode-2
// reading, no temperature. 5: latitude beyond 90 degrees, month 13.
std::unique_ptr<TRecordStore> Fixture() {
    auto store = std::make_unique<TRecordStore>();
    TMeasRecord r1 = SampleRecord(1);
    r1.Latitude = Coord(false, 5509, 33314);
    r1.Longitude = Coord(false, 3730, 0);
    TMeasRecord r2 = r1;
    r2.Number = 2;
    r2.Seconds = DeletedMark;
    TMeasRecord r3 = SampleRecord(3);
    r3.Density = 2448.0f;
    r3.Latitude = Coord(true, 3352, 0);
    r3.Longitude = Coord(true, 15112, 32768);
    TMeasRecord r4 = SampleRecord(4);
    r4.Mode = 2;
    r4.Density = 0.1234f;
    r4.Temperature = std::numeric_limits<float>::quiet_NaN();
    TMeasRecord r5 = SampleRecord(5);
    r5.Density = 2400.0f;
    r5.RefDensity = 0.0f;
    r5.Month = 13;
    r5.Latitude = Coord(false, 9100, 0);
    r5.Longitude = Coord(false, 1000, 0);
    const TMeasRecord all[] = {r1, r2, r3, r4, r5};
    for (size_t i = 0; i < 5; ++i)
        store->Records[i] = all[i];
    store->RecordCount = 5;
    return store;
}

const std::vector<int> kAll{0, 1, 2, 3, 4};

TExportTexts Texts(bool english = true) {
    TExportTexts t;
    t.Documented = test::TableLookup(english);
    t.Extra = [english](const QString& key) { return BuiltInExtraText(key, english); };
    t.Record = test::Context(english);
    return t;
}

// ---------------------------------------------------------------- xlsx read back

QByteArray Unzip(const QString& zip, const QString& part) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, part});
    unzip.waitForFinished(10000);
    return unzip.readAllStandardOutput();
}

struct Cell {
    QString type; // "s" shared string, "" number
    int style = 0;
    QString value; // the number, or the shared string's text
};

struct Sheet {
    std::map<QString, Cell> cells;
    QXmlStreamAttributes pane;
    QString autoFilter;
    int columnWidths = 0;
};

QStringList SharedStrings(const QByteArray& xml) {
    QStringList strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd())
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == u"si")
            strings << QString();
        else if (r.isStartElement() && r.name() == u"t")
            strings.back() += r.readElementText();
    return strings;
}

Sheet ReadSheet(const QByteArray& xml, const QStringList& strings) {
    Sheet sheet;
    QXmlStreamReader r(xml);
    QString ref;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == u"c") {
            ref = r.attributes().value(QLatin1String("r")).toString();
            sheet.cells[ref] = {r.attributes().value(QLatin1String("t")).toString(),
                                r.attributes().value(QLatin1String("s")).toInt(),
                                {}};
        } else if (r.name() == u"v") {
            Cell& c = sheet.cells[ref];
            c.value = r.readElementText();
            if (c.type == u"s")
                c.value = strings.value(c.value.toInt());
        } else if (r.name() == u"pane") {
            sheet.pane = r.attributes();
        } else if (r.name() == u"autoFilter") {
            sheet.autoFilter = r.attributes().value(QLatin1String("ref")).toString();
        } else if (r.name() == u"col" && r.attributes().hasAttribute(QLatin1String("width"))) {
            ++sheet.columnWidths;
        }
    }
    return sheet;
}

// The number format of each cell style.
std::vector<QString> StyleFormats(const QByteArray& xml) {
    std::map<int, QString> custom;
    std::vector<QString> formats;
    QXmlStreamReader r(xml);
    bool inCellXfs = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isEndElement() && r.name() == u"cellXfs")
            inCellXfs = false;
        if (!r.isStartElement())
            continue;
        if (r.name() == u"numFmt")
            custom[r.attributes().value(QLatin1String("numFmtId")).toInt()] =
                r.attributes().value(QLatin1String("formatCode")).toString();
        else if (r.name() == u"cellXfs")
            inCellXfs = true;
        else if (inCellXfs && r.name() == u"xf") {
            const int id = r.attributes().value(QLatin1String("numFmtId")).toInt();
            formats.push_back(custom.count(id) ? custom[id] : QString::number(id));
        }
    }
    return formats;
}

struct Workbook {
    Sheet results, statistics;
    std::vector<QString> styles;
    QString workbookXml;
    QString FormatOf(const Cell& c) const {
        return c.style < static_cast<int>(styles.size()) ? styles[static_cast<size_t>(c.style)] : QString();
    }
};

Workbook ReadWorkbook(const QString& path) {
    Workbook wb;
    const QStringList strings = SharedStrings(Unzip(path, QStringLiteral("xl/sharedStrings.xml")));
    wb.results = ReadSheet(Unzip(path, QStringLiteral("xl/worksheets/sheet1.xml")), strings);
    wb.statistics = ReadSheet(Unzip(path, QStringLiteral("xl/worksheets/sheet2.xml")), strings);
    wb.styles = StyleFormats(Unzip(path, QStringLiteral("xl/styles.xml")));
    wb.workbookXml = QString::fromUtf8(Unzip(path, QStringLiteral("xl/workbook.xml")));
    return wb;
}

TEST(XlsxExport, CellsReadBackWithTypesAndValues) {
    test::TempDir dir;
    const auto store = Fixture();
    const QString path = dir.File(QStringLiteral("lot.xlsx"));
    const TExportOutcome outcome = ExportTableFile(TTableFormat::Xlsx, path, *store, kAll, Texts());
    ASSERT_TRUE(outcome.Ok()) << outcome.Reason.toStdString();
    EXPECT_EQ(outcome.Records, 5);
    const Workbook wb = ReadWorkbook(path);
    const auto& c = wb.results.cells;
    auto number = [&c](const char* ref) {
        const Cell& cell = c.at(QString::fromLatin1(ref));
        EXPECT_TRUE(cell.type.isEmpty()) << ref << " is not a number";
        return cell.value.toDouble();
    };
    auto text = [&c](const char* ref) {
        const Cell& cell = c.at(QString::fromLatin1(ref));
        EXPECT_EQ(cell.type, u"s") << ref << " is not a text";
        return cell.value;
    };

    EXPECT_EQ(text("A1"), QStringLiteral("№"));
    EXPECT_EQ(text("C1"), QStringLiteral("Density, kg/m^3"));
    EXPECT_EQ(text("F1"), QStringLiteral("Temperature, °C"));
    EXPECT_EQ(text("K1"), QStringLiteral("Layer thickness, mm"));

    // Record 1: every value a number, the time a date cell.
    EXPECT_EQ(number("A2"), 1);
    EXPECT_NEAR(number("B2"), 43590.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0, 1e-9); // 2019-05-05 14:05:09
    EXPECT_EQ(wb.FormatOf(c.at(QStringLiteral("B2"))), QStringLiteral("yyyy-mm-dd hh:mm:ss"));
    EXPECT_EQ(number("C2"), 2352);
    EXPECT_NEAR(number("D2"), 0.98, 1e-12);
    EXPECT_EQ(wb.FormatOf(c.at(QStringLiteral("D2"))), QStringLiteral("#0.000"));
    EXPECT_NEAR(number("E2"), 2.0, 1e-6);
    EXPECT_EQ(number("F2"), 23.5);
    EXPECT_EQ(text("G2"), QStringLiteral("Road M4"));
    EXPECT_NEAR(number("H2"), 55 + (9 + 33314 / 65536.0) / 60, 1e-12);
    EXPECT_EQ(number("I2"), 37.5);
    EXPECT_EQ(text("J2"), QStringLiteral("Асфальт"));
    EXPECT_EQ(number("K2"), 40);
    EXPECT_EQ(number("L2"), 3);

    // Deleted: the time is the table's text with its mark. South-west: negative degrees.
    EXPECT_TRUE(text("B3").endsWith(QStringLiteral("- deleted")));
    EXPECT_EQ(number("H4"), -(33 + 52 / 60.0));
    EXPECT_NEAR(number("I4"), -(151 + 12.5 / 60), 1e-12);
    // Mode 2 keeps its mark as text, has no compaction factor; NaN never becomes a number.
    EXPECT_EQ(text("C5"), QStringLiteral("0.1234 (U)"));
    EXPECT_EQ(c.count(QStringLiteral("D5")), 0u);
    EXPECT_EQ(text("F5"), QStringLiteral("NAN"));
    EXPECT_EQ(c.count(QStringLiteral("H5")), 0u);
    // Month 13 is no date: the table's text; a latitude beyond 90 degrees leaves both empty.
    EXPECT_EQ(text("B6"), QStringLiteral("14:05:09 (jan  5, 2019)"));
    EXPECT_EQ(c.count(QStringLiteral("H6")), 0u);

    EXPECT_EQ(wb.results.pane.value(QLatin1String("ySplit")), u"1");
    EXPECT_EQ(wb.results.pane.value(QLatin1String("state")), u"frozen");
    EXPECT_EQ(wb.results.autoFilter, QStringLiteral("A1:L6"));
    EXPECT_EQ(wb.results.columnWidths, 12);
    EXPECT_TRUE(wb.workbookXml.contains(QStringLiteral("name=\"Results\"")));
    EXPECT_TRUE(wb.workbookXml.contains(QStringLiteral("name=\"Statistics\"")));
}

// The statistics sheet holds the panel's numbers, each a number in a cell of its own.
TEST(XlsxExport, StatisticsSheetHoldsThePanelsNumbersAsNumbers) {
    test::TempDir dir;
    const auto store = Fixture();
    const QString path = dir.File(QStringLiteral("lot.xlsx"));
    // Compaction factors 0.980 and 1.020: one of two below a minimum of 1.
    ASSERT_TRUE(ExportTableFile(TTableFormat::Xlsx, path, *store, kAll, Texts(), 1.0).Ok());
    const Workbook wb = ReadWorkbook(path);
    const TExportTexts t = Texts();
    const TLotStatistics s = ComputeLotStatistics(*store, kAll, 1.0);
    const std::vector<QStringList> lines = LotStatisticsLines(s, LotLabels(t.Extra, t.Documented), u'.');
    const auto& cells = wb.statistics.cells;
    auto text = [&cells](const char* ref) {
        const auto it = cells.find(QString::fromLatin1(ref));
        return it == cells.end() ? QStringLiteral("(none)") : it->second.value;
    };
    // A numeric cell, printed by its own format as the panel prints it.
    auto shown = [&cells, &wb](const char* ref) {
        const auto it = cells.find(QString::fromLatin1(ref));
        if (it == cells.end())
            return QStringLiteral("(none)");
        EXPECT_TRUE(it->second.type.isEmpty()) << ref << " is not a number";
        const QString pattern = wb.FormatOf(it->second);
        if (pattern.endsWith(u'%'))
            return FormatFloat(it->second.value.toDouble() * 100, pattern.chopped(1), u'.') + u'%';
        return FormatFloat(it->second.value.toDouble(), pattern, u'.');
    };

    EXPECT_EQ(text("A1"), QStringLiteral("Quantity"));
    EXPECT_EQ(text("B1"), QStringLiteral("Used"));
    EXPECT_EQ(text("C1"), QStringLiteral("Total"));
    for (int q = 0; q < QuantityCount; ++q) {
        const QByteArray row = QByteArray::number(q + 2);
        const QStringList& line = lines[static_cast<size_t>(q + 1)];
        SCOPED_TRACE(line.join(u'|').toStdString());
        EXPECT_EQ(text("A" + row), line[0]);
        EXPECT_EQ(shown("B" + row) + QStringLiteral(" / ") + shown("C" + row), line[1]);
        for (int c = 0; c < 4; ++c) {
            const QByteArray ref = QByteArray(1, static_cast<char>('D' + c)) + row;
            EXPECT_EQ(line[c + 2].isEmpty() ? QStringLiteral("(none)") : line[c + 2], shown(ref))
                << ref.data();
        }
    }
    EXPECT_EQ(shown("D3"), QStringLiteral("1.000"));
    EXPECT_EQ(text("A7"), QStringLiteral("Rows"));
    EXPECT_EQ(text("B7"), QStringLiteral("whole table: 5"));
    EXPECT_EQ(text("A8"), QStringLiteral("Min. compaction factor"));
    EXPECT_EQ(shown("B8"), QStringLiteral("1.000"));
    EXPECT_EQ(shown("B9"), QStringLiteral("1"));
    EXPECT_EQ(shown("B10"), QStringLiteral("2"));
    EXPECT_EQ(text("A11"), QStringLiteral("Share below the minimum"));
    EXPECT_EQ(shown("B11"), QStringLiteral("50.0%"));
}

// A correlation chosen for the lot: the corrected values follow the measured ones in three columns
// and three statistics rows with the correction's line; the measured cells stay as they were.
TEST(XlsxExport, CorrectedValuesFollowTheMeasuredOnes) {
    test::TempDir dir;
    const auto store = Fixture();
    const QString path = dir.File(QStringLiteral("lot.xlsx"));
    TLotCorrectionState correction;
    correction.Correction = TCorrection{};
    correction.Correction->Kind = TCorrelationKind::Offset;
    correction.Correction->Offset = 24.0;
    correction.Text = QStringLiteral("offset +24.0 kg/m^3");
    ASSERT_TRUE(ExportTableFile(TTableFormat::Xlsx, path, *store, kAll, Texts(), 1.0, correction).Ok());
    const Workbook wb = ReadWorkbook(path);
    const auto& c = wb.results.cells;
    auto value = [&c](const char* ref) {
        const auto it = c.find(QString::fromLatin1(ref));
        return it == c.end() ? QStringLiteral("(none)") : it->second.value;
    };
    EXPECT_EQ(value("M1"), QStringLiteral("Density, kg/m^3 (corrected)"));
    EXPECT_EQ(value("N1"), QStringLiteral("Compaction factor (corrected)"));
    EXPECT_EQ(value("O1"), QStringLiteral("Porosity, % (corrected)"));
    // Record 1: 2352 + 24 = 2376 of 2400, compaction 0.990 and porosity 1.0, numbers with the
    // table's formats; its measured density unchanged.
    EXPECT_EQ(value("C2").toDouble(), 2352);
    EXPECT_EQ(value("M2").toDouble(), 2376);
    EXPECT_NEAR(value("N2").toDouble(), 0.99, 1e-12);
    EXPECT_EQ(wb.FormatOf(c.at(QStringLiteral("N2"))), QStringLiteral("#0.000"));
    EXPECT_NEAR(value("O2").toDouble(), 1.0, 1e-5);
    // Deleted and mode-2 records have no corrected value; without a reference density only the
    // density is corrected.
    for (const char* ref : {"M3", "N3", "M5", "N5", "N6", "O6"})
        EXPECT_EQ(value(ref), QStringLiteral("(none)")) << ref;
    EXPECT_EQ(value("M6").toDouble(), 2424);
    EXPECT_EQ(wb.results.autoFilter, QStringLiteral("A1:O6"));

    const auto& st = wb.statistics.cells;
    auto stat = [&st](const char* ref) {
        const auto it = st.find(QString::fromLatin1(ref));
        return it == st.end() ? QStringLiteral("(none)") : it->second.value;
    };
    EXPECT_EQ(stat("A6"), QStringLiteral("Layer thickness, mm"));
    EXPECT_EQ(stat("A7"), QStringLiteral("Density, kg/m^3 (corrected)"));
    EXPECT_EQ(stat("B7").toDouble(), 3); // records 1, 3 and 5
    EXPECT_NEAR(stat("D7").toDouble(), (2376.0 + 2472.0 + 2424.0) / 3, 1e-9);
    EXPECT_EQ(stat("A8"), QStringLiteral("Compaction factor (corrected)"));
    EXPECT_EQ(stat("B8").toDouble(), 2);
    EXPECT_EQ(stat("A10"), QStringLiteral("Rows"));
    EXPECT_EQ(stat("A15"), QStringLiteral("Correlation to cores"));
    EXPECT_EQ(stat("B15"), QStringLiteral("offset +24.0 kg/m^3"));
}

// The user's locale as the toolkit takes it at start (setlocale(LC_ALL, "")) on a Russian
// desktop: the C library then writes a comma before decimals.
class RussianDesktop {
public:
    RussianDesktop() : previous_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, "ru_RU.UTF-8") != nullptr;
    }
    ~RussianDesktop() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool Ok() const {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 0.5);
        return ok_ && std::string(text) == "0,5";
    }

private:
    std::string previous_;
    bool ok_ = false;
};

TEST(XlsxExport, AnotherProgramReadsTheNumbersWrittenOnARussianDesktop) {
    test::TempDir dir;
    const auto store = Fixture();
    const QString path = dir.File(QStringLiteral("lot.xlsx"));
    {
        const RussianDesktop russian;
        ASSERT_TRUE(russian.Ok()) << "the locale ru_RU.UTF-8 is missing: scripts/setup-deps generates it";
        ASSERT_TRUE(ExportTableFile(TTableFormat::Xlsx, path, *store, kAll, Texts()).Ok());
    }
    QString error;
    const auto sheets = test::ReadWithLibreOffice(path, dir.Path(), &error);
    ASSERT_EQ(sheets.size(), 2u) << error.toStdString();
    const test::CsvRows& results = sheets.at(QStringLiteral("Results"));
    ASSERT_EQ(results.size(), 6);
    EXPECT_EQ(results[1], QStringList({"1", "2019-05-05 14:05:09", "2352", "0.980", "2.0", "23.5", "Road M4",
                                       "55.15847219", "37.50000000", "Асфальт", "40", "3"}));
    EXPECT_EQ(results[3].mid(0, 4), QStringList({"3", "2019-05-05 14:05:09", "2448", "1.020"}));
    EXPECT_EQ(results[3].mid(7, 2), QStringList({"-33.86666667", "-151.20833333"}));
    // The statistics: compaction factors 0.980 and 1.020.
    const test::CsvRows& statistics = sheets.at(QStringLiteral("Statistics"));
    const auto compaction = std::find_if(statistics.begin(), statistics.end(), [](const QStringList& row) {
        return row.value(0) == u"Compaction factor";
    });
    ASSERT_NE(compaction, statistics.end());
    EXPECT_TRUE(compaction->contains(QStringLiteral("1.000"))) << compaction->join(u'|').toStdString();
    EXPECT_TRUE(compaction->contains(QStringLiteral("0.980"))) << compaction->join(u'|').toStdString();
    EXPECT_TRUE(compaction->contains(QStringLiteral("1.020"))) << compaction->join(u'|').toStdString();
}

// ---------------------------------------------------------------- maps

struct Placemark {
    QString name, coordinates, when, description;
};

std::vector<Placemark> ParseKml(const QByteArray& kml, QString* error) {
    std::vector<Placemark> marks;
    QXmlStreamReader r(kml);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == u"kml")
            EXPECT_EQ(r.namespaceUri(), u"http://www.opengis.net/kml/2.2");
        else if (r.name() == u"Placemark")
            marks.emplace_back();
        else if (!marks.empty() && r.name() == u"name")
            marks.back().name = r.readElementText();
        else if (!marks.empty() && r.name() == u"coordinates")
            marks.back().coordinates = r.readElementText();
        else if (!marks.empty() && r.name() == u"when")
            marks.back().when = r.readElementText();
        else if (!marks.empty() && r.name() == u"description")
            marks.back().description = r.readElementText();
    }
    if (r.hasError())
        *error = r.errorString();
    return marks;
}

TEST(MapExport, KmlPlacemarksSignsAndSkips) {
    const auto store = Fixture();
    const TMapResult kml = ExportKml(*store, kAll, Texts());
    EXPECT_EQ(kml.Written, 2);
    EXPECT_EQ(kml.Skipped, 3); // deleted, no position, latitude beyond 90
    QString error;
    const std::vector<Placemark> marks = ParseKml(kml.Bytes, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].name, u"1");
    EXPECT_EQ(marks[0].coordinates, QStringLiteral("37.50000000,55.15847219"));
    EXPECT_EQ(marks[0].when, QStringLiteral("2019-05-05T14:05:09"));
    EXPECT_EQ(
        marks[0].description,
        QStringLiteral("Time, date: 14:05:09 (may  5, 2019)<br/>Density, kg/m^3: 2352<br/>Compaction factor: "
                       "0.980<br/>Material: Асфальт<br/>Object: Road M4"));
    EXPECT_EQ(marks[1].name, u"3");
    EXPECT_EQ(marks[1].coordinates, QStringLiteral("-151.20833333,-33.86666667"));
}

TEST(MapExport, TextsThatLookLikeMarkupStayText) {
    auto store = Fixture();
    test::SetShortText(store->Records[0].ObjectName, QStringLiteral("]]><b>&"));
    QString error;
    const std::vector<Placemark> marks = ParseKml(ExportKml(*store, kAll, Texts()).Bytes, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(marks[0].description.endsWith(QStringLiteral("Object: ]]&gt;&lt;b&gt;&amp;")));
}

QString RunOgrInfo(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("ogrinfo"), {QStringLiteral("-ro"), QStringLiteral("-al"), file});
    EXPECT_TRUE(p.waitForFinished(60000));
    return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}

// The gauge sends raw bytes: control characters in its texts never make a file that an XML
// reader refuses, and a GIS program reads the values as numbers of their kind.
TEST(MapExport, ControlBytesLeaveAWellFormedKmlWhoseValuesGisProgramsReadAsNumbers) {
    test::TempDir dir;
    auto store = Fixture();
    test::SetShortText(store->Records[0].ObjectName, QStringLiteral("Road\x01 M4\x0b\x1f"));
    test::SetShortText(store->Records[2].MaterialName, QStringLiteral("\x02Асфальт\x7f"));
    const QString path = dir.File(QStringLiteral("lot.kml"));
    ASSERT_TRUE(ExportTableFile(TTableFormat::Kml, path, *store, kAll, Texts()).Ok());

    QString error;
    const std::vector<Placemark> marks = ParseKml(dir.Read(QStringLiteral("lot.kml")), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_TRUE(marks[0].description.endsWith(QStringLiteral("Object: Road M4")));

    const QString info = RunOgrInfo(path);
    for (const char* field : {"density (Real) = 2352", "compaction (Real) = 0.98", "porosity (Real) = 2",
                              "temperature (Real) = 23.5", "number (Integer) = 3", "thickness (Integer) = 40",
                              "object (String) = Road M4", "material (String) = Асфальт"})
        EXPECT_TRUE(info.contains(QString::fromUtf8(field))) << field << "\n" << info.toStdString();
}

TEST(MapExport, GeoJsonFeatures) {
    const auto store = Fixture();
    const TMapResult map = ExportGeoJson(*store, kAll, Texts());
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(map.Bytes, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(doc.object().value(u"type").toString(), QStringLiteral("FeatureCollection"));
    const QJsonArray features = doc.object().value(u"features").toArray();
    ASSERT_EQ(features.size(), 2);
    const QJsonObject south = features[1].toObject();
    const QJsonArray coordinates = south.value(u"geometry").toObject().value(u"coordinates").toArray();
    EXPECT_DOUBLE_EQ(coordinates[0].toDouble(), -151.20833333);
    EXPECT_DOUBLE_EQ(coordinates[1].toDouble(), -33.86666667);
    const QJsonObject p = south.value(u"properties").toObject();
    EXPECT_EQ(p.value(u"number").toInt(), 3);
    EXPECT_EQ(p.value(u"density").toDouble(), 2448.0);
    EXPECT_EQ(p.value(u"compaction").toDouble(), 1.02);
    EXPECT_EQ(p.value(u"time").toString(), QStringLiteral("2019-05-05T14:05:09"));
    EXPECT_EQ(p.value(u"material").toString(), QStringLiteral("Асфальт"));
}

TEST(MapExport, CoordinateLimits) {
    struct C {
        int32_t value;
        bool longitude;
        std::optional<double> degrees;
    };
    const C cases[] = {
        {0, false, std::nullopt},
        {Coord(false, 9000, 0), false, 90.0},
        {Coord(false, 9000, 1), false, std::nullopt}, // just past the pole
        {Coord(false, 9100, 0), false, std::nullopt},
        {Coord(true, 18000, 0), true, -180.0},
        {Coord(false, 5560, 0), false, std::nullopt}, // minute 60
        {std::numeric_limits<int32_t>::min(), true, std::nullopt},
    };
    for (const C& c : cases)
        EXPECT_EQ(CoordToDegrees(c.value, c.longitude), c.degrees) << c.value;
}

// A year byte of 100 or more is printed as the table does ("20255") and is no calendar date in
// any file, as month 13 is not.
TEST(TableExport, AYearByteOfAHundredOrMoreIsNoDate) {
    test::TempDir dir;
    auto store = std::make_unique<TRecordStore>();
    const int years[] = {99, 100, 255};
    for (int i = 0; i < 3; ++i) {
        TMeasRecord r = SampleRecord(static_cast<uint16_t>(i + 1));
        r.Year = static_cast<uint8_t>(years[i]);
        r.Latitude = Coord(false, 5509, 0);
        r.Longitude = Coord(false, 3730, 0);
        store->Records[static_cast<size_t>(i)] = r;
    }
    store->RecordCount = 3;
    const std::vector<int> all{0, 1, 2};
    const QString path = dir.File(QStringLiteral("years.xlsx"));
    ASSERT_TRUE(ExportTableFile(TTableFormat::Xlsx, path, *store, all, Texts()).Ok());
    const Workbook wb = ReadWorkbook(path);
    const auto& c = wb.results.cells;
    EXPECT_TRUE(c.at(QStringLiteral("B2")).type.isEmpty()); // 2099-05-05, a date cell
    EXPECT_EQ(c.at(QStringLiteral("B3")).value, QStringLiteral("14:05:09 (may  5, 20100)"));
    EXPECT_EQ(c.at(QStringLiteral("B4")).value, QStringLiteral("14:05:09 (may  5, 20255)"));

    QString error;
    const std::vector<Placemark> marks = ParseKml(ExportKml(*store, all, Texts()).Bytes, &error);
    ASSERT_EQ(marks.size(), 3u) << error.toStdString();
    EXPECT_EQ(marks[0].when, QStringLiteral("2099-05-05T14:05:09"));
    EXPECT_TRUE(marks[1].when.isEmpty());
    EXPECT_TRUE(marks[2].when.isEmpty());

    const QJsonArray features = QJsonDocument::fromJson(ExportGeoJson(*store, all, Texts()).Bytes)
                                    .object()
                                    .value(u"features")
                                    .toArray();
    ASSERT_EQ(features.size(), 3);
    auto time = [&features](int i) {
        return features[i].toObject().value(u"properties").toObject().value(u"time");
    };
    EXPECT_EQ(time(0).toString(), QStringLiteral("2099-05-05T14:05:09"));
    EXPECT_TRUE(time(1).isNull());
    EXPECT_TRUE(time(2).isNull());
}

// ---------------------------------------------------------------- refusals and failures

TEST(TableExport, EmptyAndPositionlessRefusedWithoutAFile) {
    test::TempDir dir;
    const auto store = Fixture();
    const TExportTexts t = Texts();
    for (TTableFormat format : {TTableFormat::Xlsx, TTableFormat::Kml, TTableFormat::GeoJson}) {
        const QString path = dir.File(QStringLiteral("empty"));
        const TExportOutcome outcome = ExportTableFile(format, path, *store, {}, t);
        EXPECT_EQ(outcome.Result, TExportOutcome::Empty);
        EXPECT_FALSE(QFile::exists(path));
    }
    const std::vector<int> noPosition{1, 3};
    const TExportOutcome map =
        ExportTableFile(TTableFormat::Kml, dir.File(QStringLiteral("m.kml")), *store, noPosition, t);
    EXPECT_EQ(map.Result, TExportOutcome::NoPosition);
    EXPECT_EQ(OutcomeMessage(map, {}, t),
              QStringLiteral("No measurement has a position: the map would be empty"));
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("m.kml"))));
}

TEST(TableExport, UnwritableTargetNamedAndEarlierFileKept) {
    test::TempDir dir;
    const auto store = Fixture();
    const TExportTexts t = Texts();
    dir.Write(QStringLiteral("old.xlsx"), "earlier");
    test::SetReadOnly(dir.Path(), true);
    for (TTableFormat format : {TTableFormat::Xlsx, TTableFormat::Kml, TTableFormat::GeoJson}) {
        const QString path = dir.File(QStringLiteral("old.xlsx"));
        const TExportOutcome outcome = ExportTableFile(format, path, *store, kAll, t);
        EXPECT_EQ(outcome.Result, TExportOutcome::WriteFailed);
        EXPECT_EQ(OutcomeMessage(outcome, path, t),
                  "Cannot write the file " + path + ": no permission to write to this folder or file");
    }
    test::SetReadOnly(dir.Path(), false);
    EXPECT_EQ(dir.Read(QStringLiteral("old.xlsx")), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{QStringLiteral("old.xlsx")});
}

} // namespace
} // namespace lum1
