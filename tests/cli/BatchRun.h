#pragma once
// The batch command line run in process as the program's main runs it, with what it prints
// caught: an argument "@name" stands for the file `name` in the test's folder.
#include "TempDir.h"

#include "app/FileLocations.h"
#include "cli/BatchExport.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace lum1::test {

struct BatchOutcome {
    int code;
    QString out, err;
};

inline BatchOutcome RunBatchIn(const TempDir& dir, const TFileLocations& locations, QStringList arguments) {
    for (QString& a : arguments)
        if (a.startsWith(u'@'))
            a = dir.File(a.mid(1));
    arguments.prepend(QStringLiteral("lum1"));
    QString out, err;
    QTextStream o(&out), e(&err);
    const int code = RunBatch(arguments, locations, o, e);
    o.flush();
    e.flush();
    return {code, out, err};
}

} // namespace lum1::test
