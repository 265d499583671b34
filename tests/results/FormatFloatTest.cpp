#include "platform/FormatFloat.h"

#include "QtPrinters.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lum1 {
namespace {

TEST(FormatFloat, PatternsRoundTheExactValueHalfAwayFromZero) {
    const struct {
        double value;
        const char16_t* pattern;
        const char* expected;
    } cases[] = {
        {0.849, u"#0.00", "0.85"},
        {0.125, u"#0.00", "0.13"}, // an exact tie goes away from zero, not to even
        {-0.125, u"#0.00", "-0.13"},
        {2.5, u"0", "3"},
        {-2.5, u"0", "-3"},
        {0.015, u"#0.00", "0.01"}, // the double lies below the tie; value*100 would say 1.5
        {0.35, u"#0.0", "0.3"},    // likewise
        {999.996f, u"#0.00", "1000.00"},
        {2351.6f, u"#0", "2352"},
        {0.4, u"#0", "0"},
        {2352.0 / 2400.0, u"#0.000", "0.980"},
        {0.1234f, u"#0.0000", "0.1234"},
        {0.5, u"#.0", ".5"},
        {0.0, u"#.0", ".0"},
        {23.5, u"#.0", "23.5"},
        {-3.25, u"#.0", "-3.3"},
        {0.96, u"#.0", "1.0"},
        {9.96, u"#.0", "10.0"},
        {-0.04, u"#.0", ".0"}, // no "-" before a result that rounds to zero
        {-0.0, u"#0.0", "0.0"},
        {5, u"00", "05"},
        {137, u"00", "137"},
        {30.5, u"00.0", "30.5"},
        {5.25, u"00.0", "05.3"},
        {60, u"00.0", "60.0"},
        {65535, u"0", "65535"},
        {1e20, u"0", "100000000000000000000"},
        {std::numeric_limits<double>::denorm_min(), u"#0.00", "0.00"},
        {std::numeric_limits<double>::quiet_NaN(), u"#0.00", "NAN"},
        {std::numeric_limits<double>::infinity(), u"#.0", "INF"},
        {-std::numeric_limits<double>::infinity(), u"#0", "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.value, QStringView(c.pattern), u'.'), QString::fromUtf8(c.expected))
            << c.value << " " << QStringView(c.pattern).toString().toStdString();
}

TEST(FormatFloat, PrintsTheGivenSeparatorAndHugeValuesInFull) {
    EXPECT_EQ(FormatFloat(0.98, u"#0.000", u','), "0,980");
    EXPECT_EQ(FormatFloat(-3.25, u"#.0", u','), "-3,3");
    EXPECT_EQ(FormatFloat(7, u"0", u','), "7");

    const QString max = FormatFloat(std::numeric_limits<double>::max(), u"#0.00", u'.');
    EXPECT_EQ(max.size(), 309 + 3);
    EXPECT_TRUE(max.startsWith("17976931348623157")) << max.toStdString();
    EXPECT_TRUE(max.endsWith(".00"));
}

// The separator comes from the user's locale (LC_NUMERIC / LANG), read by a child process that
// starts with that environment, since the locale is fixed when the process starts.
TEST(FormatFloat, SystemSeparatorFollowsTheLocaleEnvironment) {
    const QByteArray expected = qgetenv("LUM1_EXPECT_SEPARATOR");
    if (!expected.isEmpty()) {
        EXPECT_EQ(FormatFloat(2352.0 / 2400.0, u"#0.000"), QString::fromUtf8("0" + expected + "980"));
        return;
    }
    const struct {
        const char* lcAll;
        const char* separator;
    } locales[] = {{"ru_RU.UTF-8", ","}, {"en_US.UTF-8", "."}, {"de_DE.UTF-8", ","}};
    for (const auto& l : locales) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("LANG");
        env.remove("LC_NUMERIC");
        env.insert("LC_ALL", l.lcAll);
        env.insert("LUM1_EXPECT_SEPARATOR", l.separator);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=FormatFloat.SystemSeparatorFollowsTheLocaleEnvironment"});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitCode(), 0) << l.lcAll << "\n" << child.readAllStandardOutput().toStdString();
    }
}

} // namespace
} // namespace lum1
