// The filters handed to the file dialogs: the patterns that are matched, and the text shown.
#include "app/QtDialogs.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

bool Matches(const QString& filter, const QString& fileName) {
    const int open = static_cast<int>(filter.lastIndexOf(u'('));
    const QString patterns = filter.mid(open + 1, filter.size() - open - 2);
    for (const QString& p : patterns.split(u' ', Qt::SkipEmptyParts))
        if (QRegularExpression::fromWildcard(p, Qt::CaseSensitive).match(fileName).hasMatch())
            return true;
    return false;
}

TEST(QtDialogsTest, ResultsFilterMatchesAnyCaseAndAllFilesMatchesNamesWithoutADot) {
    const QStringList filters =
        NativeFilters({QStringLiteral("LUM-1 files (*.lum1)"), QStringLiteral("All files (*.*)")});
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith("LUM-1 files (*.lum1) ("));
    EXPECT_TRUE(filters[1].startsWith("All files (*.*) ("));
    struct Case {
        const char* name;
        bool results, all;
    };
    for (const Case& c :
         {Case{"Default.Lum1", true, true}, Case{"road.lum1", true, true}, Case{"ROAD.LUM1", true, true},
          Case{"road.lum2", false, true}, Case{"lum1", false, true}, Case{"notes", false, true}}) {
        EXPECT_EQ(Matches(filters[0], c.name), c.results) << c.name;
        EXPECT_EQ(Matches(filters[1], c.name), c.all) << c.name;
    }
}

} // namespace
} // namespace lum1
