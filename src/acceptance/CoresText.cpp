#include "acceptance/CoresText.h"

#include <QRegularExpression>
#include <QStringList>

#include <limits>

namespace lum1 {

double ParseCoreDensity(const QString& text) {
    QString core = text.trimmed();
    core.replace(u',', u'.');
    bool ok = false;
    const double value = core.toDouble(&ok);
    return ok ? value : std::numeric_limits<double>::quiet_NaN();
}

std::vector<TCorePair> ParseCoresText(const QString& text, int* errorLine, QStringList* coreTexts) {
    std::vector<TCorePair> pairs;
    if (coreTexts)
        coreTexts->clear();
    if (errorLine)
        *errorLine = 0;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    bool first = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields;
        if (line.contains(u'\t') || line.contains(u';')) {
            fields = line.split(QRegularExpression(QStringLiteral("[\t;]")), Qt::SkipEmptyParts);
        } else {
            // Blanks, a comma beside them ("9, 2400") or a comma alone ("9,2400").
            for (QString f : line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
                while (f.startsWith(u',') || f.endsWith(u','))
                    f = f.startsWith(u',') ? f.mid(1) : f.chopped(1);
                if (!f.isEmpty())
                    fields << f;
            }
            if (fields.size() == 1)
                fields = line.split(u',', Qt::SkipEmptyParts);
        }
        bool numbered = false;
        const qint64 key = fields.isEmpty() ? 0 : fields[0].trimmed().toLongLong(&numbered);
        if (!numbered && first) {
            first = false; // a heading
            continue;
        }
        first = false;
        if (!numbered || fields.size() != 2) {
            if (errorLine)
                *errorLine = static_cast<int>(i) + 1;
            if (coreTexts)
                coreTexts->clear();
            return {};
        }
        pairs.push_back({key, ParseCoreDensity(fields[1])});
        if (coreTexts)
            *coreTexts << fields[1].trimmed();
    }
    return pairs;
}

} // namespace lum1
