#include "export/TableExport.h"

#include "export/MapExport.h"
#include "export/XlsxExport.h"
#include "platform/ExportFile.h"
#include "platform/FileError.h"

#include <QDir>

namespace lum1 {

TExportOutcome ExportTableFile(TTableFormat format, const QString& path, const TRecordStore& store,
                               std::span<const int> records, const TExportTexts& texts, double minCompaction,
                               const TLotCorrectionState& correction) {
    TExportOutcome outcome;
    const int count = store.RecordCount.load();
    int present = 0;
    for (int index : records)
        if (index >= 0 && index < count)
            ++present;
    if (present == 0) {
        outcome.Result = TExportOutcome::Empty;
        return outcome;
    }
    QByteArray bytes;
    if (format == TTableFormat::Xlsx) {
        TLotStatistics statistics = ComputeLotStatistics(store, records, minCompaction);
        AddCorrectedStatistics(statistics, store, records, correction);
        const TLotLabels labels = LotLabels(texts.Extra, texts.Documented);
        QString error;
        const auto book = BuildXlsx(store, records, texts, statistics, labels, &error,
                                    correction.Correction ? &*correction.Correction : nullptr);
        if (!book) {
            outcome.Result = TExportOutcome::WriteFailed;
            outcome.Reason = error;
            return outcome;
        }
        bytes = *book;
        outcome.Records = present;
    } else {
        const TMapResult map = format == TTableFormat::Kml ? ExportKml(store, records, texts)
                                                           : ExportGeoJson(store, records, texts);
        if (map.Written == 0) {
            outcome.Result = TExportOutcome::NoPosition;
            return outcome;
        }
        bytes = map.Bytes;
        outcome.Records = map.Written;
    }
    const QString reason = WriteExportFile(path, bytes);
    if (!reason.isEmpty()) {
        outcome.Result = TExportOutcome::WriteFailed;
        outcome.Reason = reason;
    }
    return outcome;
}

QString OutcomeMessage(const TExportOutcome& outcome, const QString& path, const TExportTexts& texts) {
    const QString file = QDir::toNativeSeparators(path);
    switch (outcome.Result) {
    case TExportOutcome::Written:
        return texts.New("ExportDone").arg(outcome.Records).arg(file);
    case TExportOutcome::Empty:
        return texts.New("ExportEmpty");
    case TExportOutcome::NoPosition:
        return texts.New("ExportNoPosition");
    case TExportOutcome::WriteFailed:
        return texts.New("ExportFailed")
            .arg(file, DescribeFileError(path, outcome.Reason, [&texts](const QString& key) {
                     return texts.Extra ? texts.Extra(key) : key;
                 }));
    }
    return QString();
}

} // namespace lum1
