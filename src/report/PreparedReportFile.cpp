#include "report/PreparedReportFile.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <bit>
#include <cmath>
#include <cstring>

namespace lum1 {

const char* const PreparedReportSuffix = "lum1report";

namespace {

// "LUM1PREP", the format's version, the body, and the SHA-256 of everything before it: a file
// cut short or changed by a single bit is refused as a whole.
constexpr char kMagic[8] = {'L', 'U', 'M', '1', 'P', 'R', 'E', 'P'};
constexpr quint32 kVersion = 1;
constexpr qsizetype kHashSize = 32;

// Bounds that no report of this program comes near; anything beyond is a damaged file.
constexpr double kMaxPaperMm = 10000;
constexpr double kMaxUnits = 1e6;
constexpr quint32 kMaxText = 1u << 20;

class TWriter {
public:
    void U8(quint8 v) { out_.append(static_cast<char>(v)); }
    void Bool(bool v) { U8(v ? 1 : 0); }
    void U32(quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out_.append(b, 4);
    }
    void I32(qint32 v) { U32(static_cast<quint32>(v)); }
    void F64(double v) {
        char b[8];
        qToLittleEndian(std::bit_cast<quint64>(v), b);
        out_.append(b, 8);
    }
    void Text(const QString& s) {
        const QByteArray utf8 = s.toUtf8();
        U32(static_cast<quint32>(utf8.size()));
        out_.append(utf8);
    }
    QByteArray& Bytes() { return out_; }

private:
    QByteArray out_;
};

// Every read checks what is left; after the first failure every read fails and gives zero.
class TReader {
public:
    TReader(const char* data, qsizetype size) : data_(data), size_(size) {}
    bool Ok() const { return ok_; }
    bool AtEnd() const { return pos_ == size_; }
    void Fail() { ok_ = false; }

    quint8 U8() {
        const char* p = Take(1);
        return p ? static_cast<quint8>(*p) : 0;
    }
    bool Bool() {
        const quint8 v = U8();
        if (v > 1)
            Fail();
        return v == 1;
    }
    quint32 U32() {
        const char* p = Take(4);
        return p ? qFromLittleEndian<quint32>(p) : 0;
    }
    qint32 I32() { return static_cast<qint32>(U32()); }
    // A finite number within -limit..limit.
    double F64(double lo, double hi) {
        const char* p = Take(8);
        const double v = p ? std::bit_cast<double>(qFromLittleEndian<quint64>(p)) : 0.0;
        if (!std::isfinite(v) || v < lo || v > hi)
            Fail();
        return ok_ ? v : 0.0;
    }
    QString Text() {
        const quint32 n = U32();
        if (n > kMaxText) {
            Fail();
            return {};
        }
        const char* p = Take(static_cast<qsizetype>(n));
        return p ? QString::fromUtf8(p, static_cast<qsizetype>(n)) : QString();
    }

private:
    const char* Take(qsizetype n) {
        if (!ok_ || n > size_ - pos_) {
            ok_ = false;
            return nullptr;
        }
        const char* p = data_ + pos_;
        pos_ += n;
        return p;
    }

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

void WriteBox(TWriter& w, const TPreparedBox& box) {
    w.Text(box.Name);
    w.F64(box.Rect.x());
    w.F64(box.Rect.y());
    w.F64(box.Rect.width());
    w.F64(box.Rect.height());
    w.Text(box.Font.Family);
    w.I32(box.Font.PixelSize);
    w.Bool(box.Font.Bold);
    w.Bool(box.Frame);
    w.Bool(box.HCentred);
    w.Bool(box.VCentred);
    w.U32(static_cast<quint32>(box.Lines.size()));
    for (const TTextLine& line : box.Lines) {
        w.F64(line.Width);
        w.Bool(line.BrokenInWord);
        w.U32(static_cast<quint32>(line.Runs.size()));
        for (const TTextRun& run : line.Runs) {
            w.Text(run.Text);
            w.U8(static_cast<quint8>(run.Script));
            w.Bool(run.Bold);
            w.Bool(run.Italic);
            w.Bool(run.Underline);
        }
    }
}

TPreparedBox ReadBox(TReader& r) {
    TPreparedBox box;
    box.Name = r.Text();
    const double x = r.F64(-kMaxUnits, kMaxUnits);
    const double y = r.F64(-kMaxUnits, kMaxUnits);
    const double width = r.F64(0, kMaxUnits);
    const double height = r.F64(0, kMaxUnits);
    box.Rect = QRectF(x, y, width, height);
    box.Font.Family = r.Text();
    box.Font.PixelSize = r.I32();
    if (box.Font.PixelSize < 1 || box.Font.PixelSize > 1000)
        r.Fail();
    box.Font.Bold = r.Bool();
    box.Frame = r.Bool();
    box.HCentred = r.Bool();
    box.VCentred = r.Bool();
    const quint32 lines = r.U32();
    for (quint32 i = 0; i < lines && r.Ok(); ++i) {
        TTextLine line;
        line.Width = r.F64(0, kMaxUnits);
        line.BrokenInWord = r.Bool();
        const quint32 runs = r.U32();
        for (quint32 j = 0; j < runs && r.Ok(); ++j) {
            TTextRun run;
            run.Text = r.Text();
            const quint8 script = r.U8();
            if (script > static_cast<quint8>(TScript::Sub))
                r.Fail();
            run.Script = static_cast<TScript>(script);
            run.Bold = r.Bool();
            run.Italic = r.Bool();
            run.Underline = r.Bool();
            line.Runs.push_back(std::move(run));
        }
        box.Lines.push_back(std::move(line));
    }
    return box;
}

} // namespace

QByteArray WritePreparedReport(const TPreparedReport& report, const TPdfProperties& properties) {
    TWriter w;
    w.Bytes().append(kMagic, sizeof kMagic);
    w.U32(kVersion);
    for (const QString* s : {&properties.Title, &properties.Author, &properties.Subject, &properties.Creator})
        w.Text(*s);
    w.F64(report.PageWidthMm);
    w.F64(report.PageHeightMm);
    w.Bool(report.Landscape);
    for (double m : {report.LeftMarginMm, report.TopMarginMm, report.RightMarginMm, report.BottomMarginMm})
        w.F64(m);
    for (double g : {report.GapX, report.GapY, report.LineSpacing})
        w.F64(g);
    w.U32(static_cast<quint32>(report.Pages.size()));
    for (const TPreparedPage& page : report.Pages) {
        w.U32(static_cast<quint32>(page.Boxes.size()));
        for (const TPreparedBox& box : page.Boxes)
            WriteBox(w, box);
    }
    w.Bytes().append(QCryptographicHash::hash(w.Bytes(), QCryptographicHash::Sha256));
    return w.Bytes();
}

std::optional<TSavedReport> ReadPreparedReport(const QByteArray& bytes, TReportFileError* error) {
    auto fail = [error](TReportFileError e) -> std::optional<TSavedReport> {
        if (error)
            *error = e;
        return std::nullopt;
    };
    if (error)
        *error = TReportFileError::None;
    const qsizetype headSize = static_cast<qsizetype>(sizeof kMagic) + 4;
    if (bytes.size() < headSize + kHashSize || std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return fail(TReportFileError::NotAReport);
    // A later version may lay its body out otherwise: it is named as such, not as damage.
    if (qFromLittleEndian<quint32>(bytes.constData() + sizeof kMagic) != kVersion)
        return fail(TReportFileError::Newer);
    const qsizetype bodyEnd = bytes.size() - kHashSize;
    if (QCryptographicHash::hash(QByteArrayView(bytes).first(bodyEnd), QCryptographicHash::Sha256) !=
        bytes.mid(bodyEnd))
        return fail(TReportFileError::NotAReport);

    TReader r(bytes.constData() + headSize, bodyEnd - headSize);
    TSavedReport saved;
    TPdfProperties& p = saved.Properties;
    for (QString* s : {&p.Title, &p.Author, &p.Subject, &p.Creator})
        *s = r.Text();
    TPreparedReport& report = saved.Pages;
    report.PageWidthMm = r.F64(1, kMaxPaperMm);
    report.PageHeightMm = r.F64(1, kMaxPaperMm);
    report.Landscape = r.Bool();
    for (double* m :
         {&report.LeftMarginMm, &report.TopMarginMm, &report.RightMarginMm, &report.BottomMarginMm})
        *m = r.F64(0, kMaxPaperMm);
    for (double* g : {&report.GapX, &report.GapY, &report.LineSpacing})
        *g = r.F64(0, 1000);
    const quint32 pages = r.U32();
    for (quint32 i = 0; i < pages && r.Ok(); ++i) {
        TPreparedPage page;
        const quint32 boxes = r.U32();
        for (quint32 j = 0; j < boxes && r.Ok(); ++j)
            page.Boxes.push_back(ReadBox(r));
        report.Pages.push_back(std::move(page));
    }
    // Nothing may be missing or left over.
    if (!r.Ok() || !r.AtEnd() || report.Pages.empty())
        return fail(TReportFileError::NotAReport);
    return saved;
}

} // namespace lum1
