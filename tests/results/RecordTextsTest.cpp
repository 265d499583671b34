#include "results/RecordTexts.h"

#include "QtPrinters.h"
#include "RecordFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace lum1 {
namespace {

using test::Context;
using test::SampleRecord;

enum Col {
    cNumber,
    cDateTime,
    cDensity,
    cCompaction,
    cPorosity,
    cTemperature,
    cObject,
    cCoord,
    cMaterial,
    cThickness,
    cAverNum
};

struct CellCase {
    const char* what;
    std::function<void(TMeasRecord&)> change;
    bool english;
    char16_t separator;
    Col column;
    const char* expected;
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(RecordTexts, EveryCellFollowsItsRule) {
    auto none = [](TMeasRecord&) {};
    auto deleted = [](TMeasRecord& r) {
        r.Hours = 10, r.Minutes = 20, r.Seconds = 170, r.Day = 1, r.Month = 3, r.Year = 20;
    };
    // The field filled with 'x' behind the given bytes, so nothing ends the text by chance.
    auto text = [](int length, std::string bytes) {
        return [=](TMeasRecord& r) {
            std::memset(r.ObjectName, 'x', sizeof r.ObjectName);
            r.ObjectName[0] = static_cast<uint8_t>(length);
            std::memcpy(r.ObjectName + 1, bytes.data(), bytes.size());
        };
    };
    const CellCase cases[] = {
        {"number", [](TMeasRecord& r) { r.Number = 0xFFFF; }, true, u'.', cNumber, "65535"},
        {"date en", none, true, u'.', cDateTime, "14:05:09 (may  5, 2019)"},
        {"date ru", none, false, u'.', cDateTime, "14:05:09 ( 5 мая 2019)"},
        {"deleted ru", deleted, false, u'.', cDateTime, "10:20:170 ( 1 мар 2020)- удалена"},
        {"deleted en", deleted, true, u'.', cDateTime, "10:20:170 (mar  1, 2020)- deleted"},
        {"9 o'clock", [](TMeasRecord& r) { r.Hours = 9; }, true, u'.', cDateTime, " 9:05:09 (may  5, 2019)"},
        {"month 0", [](TMeasRecord& r) { r.Month = 0; }, true, u'.', cDateTime, "14:05:09 (jan  5, 2019)"},
        {"month 13", [](TMeasRecord& r) { r.Month = 13; }, false, u'.', cDateTime, "14:05:09 ( 5 янв 2019)"},
        {"month 12", [](TMeasRecord& r) { r.Month = 12; }, true, u'.', cDateTime, "14:05:09 (dec  5, 2019)"},
        {"year 123", [](TMeasRecord& r) { r.Year = 123; }, true, u'.', cDateTime, "14:05:09 (may  5, 20123)"},
        {"all 255", [](TMeasRecord& r) { r.Hours = r.Minutes = r.Day = r.Year = 255; }, true, u'.', cDateTime,
         "255:255:09 (may 255, 20255)"},
        {"density 1000", [](TMeasRecord& r) { r.Density = 1000.0f; }, true, u'.', cDensity, "1000"},
        {"density 999.996", [](TMeasRecord& r) { r.Density = 999.996f; }, true, u'.', cDensity, "1000.00"},
        {"density 2351.6", [](TMeasRecord& r) { r.Density = 2351.6f; }, true, u'.', cDensity, "2352"},
        {"mode 2 density", [](TMeasRecord& r) { r.Mode = 2, r.Density = 0.1234f; }, true, u'.', cDensity,
         "0.1234 (U)"},
        {"mode 2 compaction", [](TMeasRecord& r) { r.Mode = 2; }, true, u'.', cCompaction, ""},
        {"mode 2 porosity", [](TMeasRecord& r) { r.Mode = 2; }, true, u'.', cPorosity, ""},
        {"mode 3 is normal", [](TMeasRecord& r) { r.Mode = 3; }, true, u'.', cCompaction, "0.980"},
        {"compaction", none, true, u'.', cCompaction, "0.980"},
        {"porosity", none, true, u'.', cPorosity, "2.0"},
        {"compaction, comma", none, true, u',', cCompaction, "0,980"},
        {"no reference: compaction", [](TMeasRecord& r) { r.RefDensity = 0; }, true, u'.', cCompaction, ""},
        {"no reference: porosity", [](TMeasRecord& r) { r.RefDensity = 0; }, true, u'.', cPorosity, ""},
        {"above reference", [](TMeasRecord& r) { r.Density = 2520; }, true, u'.', cCompaction, "1.050"},
        {"above reference: porosity 0", [](TMeasRecord& r) { r.Density = 2520; }, true, u'.', cPorosity,
         "0.0"},
        {"negative density: porosity 100", [](TMeasRecord& r) { r.Density = -100; }, true, u'.', cPorosity,
         "100.0"},
        {"huge ratio", [](TMeasRecord& r) { r.Density = 3e38f, r.RefDensity = 1e-38f; }, true, u'.',
         cPorosity, "0.0"},
        {"NaN density", [](TMeasRecord& r) { r.Density = kNaN; }, true, u'.', cDensity, "NAN"},
        {"NaN porosity", [](TMeasRecord& r) { r.Density = kNaN; }, true, u'.', cPorosity, "NAN"},
        {"temperature 0", [](TMeasRecord& r) { r.Temperature = 0; }, true, u'.', cTemperature, ".0"},
        {"temperature 0.5", [](TMeasRecord& r) { r.Temperature = 0.5f; }, true, u'.', cTemperature, ".5"},
        {"temperature -3.25", [](TMeasRecord& r) { r.Temperature = -3.25f; }, true, u'.', cTemperature,
         "-3.3"},
        {"temperature, comma", none, false, u',', cTemperature, "23,5"},
        {"temperature inf", [](TMeasRecord& r) { r.Temperature = -kInf; }, true, u'.', cTemperature, "-INF"},
        {"length 21", text(21, "123456789012345678901"), true, u'.', cObject, "123456789012345678901"},
        {"length 22", text(22, "abc"), true, u'.', cObject, ""},
        {"length 0", text(0, "abc"), true, u'.', cObject, ""},
        {"length 0xFF", text(0xFF, "abc"), true, u'.', cObject, ""},
        {"length 0x80", text(0x80, "abc"), true, u'.', cObject, ""},
        {"early zero", text(5, std::string("ab\0cd", 5)), true, u'.', cObject, "ab"},
        {"bytes after the text ignored", text(2, "ab"), true, u'.', cObject, "ab"},
        {"cp1251 material", none, true, u'.', cMaterial, "Асфальт"},
        {"no position", none, true, u'.', cCoord, "- -"},
        {"position", [](TMeasRecord& r) { r.Latitude = 5509 << 16 | 33314, r.Longitude = -(6124 << 16); },
         false, u',', cCoord, "55°09'30,5\" СШ 61°24'00,0\" ЗД"},
        {"thickness", none, true, u'.', cThickness, "40"},
        {"AverNum 0 kept", [](TMeasRecord& r) { r.AverNum = 0; }, true, u'.', cAverNum, "0"},
        {"AverNum", none, true, u'.', cAverNum, "3"},
    };
    for (const CellCase& c : cases) {
        TMeasRecord r = SampleRecord();
        c.change(r);
        EXPECT_EQ(RowTexts(r, Context(c.english, c.separator))[c.column], QString::fromUtf8(c.expected))
            << c.what;
    }
}

TEST(RecordTexts, CoordinatesByKindHemisphereAndLimit) {
    const struct {
        int32_t value;
        bool longitude;
        bool english;
        char16_t separator;
        const char* expected;
    } cases[] = {
        {5509 << 16 | 33314, false, true, u'.', "55°09'30.5\" N"},
        {5509 << 16 | 33314, false, false, u',', "55°09'30,5\" СШ"},
        {-(5509 << 16 | 33314), false, true, u'.', "55°09'30.5\" S"},
        {-(6124 << 16), true, true, u'.', "61°24'00.0\" W"},
        {6124 << 16, true, false, u'.', "61°24'00.0\" ВД"},
        {9100 << 16, false, true, u'.', "-"},
        {9000 << 16, false, true, u'.', "90°00'00.0\" N"},
        {9100 << 16, true, true, u'.', "91°00'00.0\" E"},
        {18059 << 16 | 65535, true, true, u'.', "180°59'60.0\" E"},
        {18100 << 16, true, true, u'.', "-"},
        {199 << 16 | 1, false, true, u'.', "01°99'00.0\" N"}, // minutes above 59 shown as they are
        {0, false, true, u'.', "-"},
        {0, true, false, u'.', "-"},
        {std::numeric_limits<int32_t>::min(), true, true, u'.', "-"},
        {std::numeric_limits<int32_t>::max(), false, true, u'.', "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CoordToText(c.value, c.longitude, Context(c.english, c.separator)),
                  QString::fromUtf8(c.expected))
            << c.value;
}

} // namespace
} // namespace lum1
