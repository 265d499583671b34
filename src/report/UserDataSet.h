#pragma once
// A data set whose rows the client supplies: the report asks it to start (First), then before
// each row whether it is exhausted (CheckEOF), and numbers the rows from 0 (RecNo).

#include <functional>

namespace lum1 {

class TfrxUserDataSet {
public:
    enum class TRangeEnd { Last, Count };

    // RangeEnd Last: only OnCheckEOF ends the data set; Count: it also ends after RangeEndCount rows.
    TRangeEnd RangeEnd = TRangeEnd::Last;
    int RangeEndCount = 0;

    std::function<void(TfrxUserDataSet&)> OnFirst;
    std::function<void(TfrxUserDataSet&, bool& eof)> OnCheckEOF;

    int RecNo() const { return recNo_; }

    void First() {
        recNo_ = 0;
        if (OnFirst)
            OnFirst(*this);
    }
    void Next() { ++recNo_; }
    bool Eof() {
        bool eof = RangeEnd == TRangeEnd::Count && recNo_ >= RangeEndCount;
        if (OnCheckEOF)
            OnCheckEOF(*this, eof);
        return eof;
    }

private:
    int recNo_ = 0;
};

} // namespace lum1
