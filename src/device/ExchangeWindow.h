#pragma once
// Every window update the exchange thread makes goes through this one interface. The program
// implements it with blocking hand-overs onto the window thread (TQtExchangeWindow); tests
// implement it with a recorder.

#include <QString>

#include <functional>

namespace lum1 {

enum class TLinkColour { White, Grey, Green, Red };

// What the status line shows next: a language key, or (in the failure path) a text shown as it
// is. USBNoRecords and USBDataReaded are prefixed with the gauge's parameter text, and
// USBDataReaded is followed by the record count.
struct TStatusMessage {
    QString Key;
    QString Text;
    QString ParamText;
    int RecordCount = 0;

    static TStatusMessage OfKey(QString key) { return {std::move(key), {}, {}, 0}; }
    static TStatusMessage OfText(QString text) { return {{}, std::move(text), {}, 0}; }
};

// The text of a message; lookup is GetLangMessage and runs on the window thread.
QString StatusText(const TStatusMessage& message, const std::function<QString(const QString&)>& lookup);

class IExchangeWindow {
public:
    virtual ~IExchangeWindow() = default;
    virtual void SyncStatus(const TStatusMessage& message) = 0;  // SetStatusBarGeneral
    virtual void PrintErrorToStatusBar(const QString& text) = 0; // status line only
    virtual void SyncProgressStart() = 0;                         // position 0, bar shown
    virtual void SyncProgress(int position) = 0;                  // 0..1000
    virtual void SyncProgressHide() = 0;
    virtual void SyncLink(TLinkColour colour) = 0;
    virtual void SyncDataClear() = 0;
    virtual void SyncFillTable() = 0;
};

} // namespace lum1
