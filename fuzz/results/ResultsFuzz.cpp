// Any bytes are a results file: the loader must store whole records only, and every text of
// every record, in both languages and with both separators, must come out without a fault.
#include "lang/MessageTable.h"
#include "platform/FormatFloat.h"
#include "results/ResultsFiles.h"
#include "results/ResultsTable.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>

using namespace lum1;

namespace {

LangLookup Lookup(bool english) {
    return [english](const QString& key) {
        const MessageRow* row = FindMessageRow(key);
        return row ? (english ? row->english : row->russian).toString() : QString();
    };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto store = std::make_unique<TRecordStore>();
    static const TRecordTextContext contexts[] = {
        TRecordTextContext::Fetch(Lookup(true), true, u'.'),
        TRecordTextContext::Fetch(Lookup(false), false, u','),
    };

    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const int count = ReadRecords(buffer, *store);
    const size_t expected = std::min<size_t>(size / RecordSize, MaxRecords);
    if (count != static_cast<int>(expected) || store->RecordCount != count ||
        std::memcmp(store->Records.data(), data, expected * RecordSize) != 0)
        std::abort();

    for (const TRecordTextContext& ctx : contexts) {
        for (int i = 0; i < count; ++i) {
            const TMeasRecord& r = store->Records[static_cast<size_t>(i)];
            const TRowTexts texts = RowTexts(r, ctx);
            if (texts[6].size() > 21 || texts[8].size() > 21)
                std::abort();
            (void)CoordToText(r.Latitude, true, ctx);
            (void)CoordToText(r.Longitude, false, ctx);
        }
    }

    // The raw bytes as doubles, through every pattern the program prints with.
    for (size_t at = 0; at + sizeof(double) <= size && at < 64; at += sizeof(double)) {
        double v;
        std::memcpy(&v, data + at, sizeof v);
        for (const char16_t* p :
             {u"#0", u"#0.00", u"#0.000", u"#0.0", u"#0.0000", u"#.0", u"00", u"00.0", u"0"})
            (void)FormatFloat(v, p, u'.');
    }

    TResultsTable table;
    table.TitleFill(Lookup(true));
    table.FillDataTable(size % 2, *store, contexts[0]);
    if (table.GridRowCount() != count + 2)
        std::abort();
    std::vector<int> rows(static_cast<size_t>(table.GridRowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    (void)table.CopyText(rows, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    return 0;
}
