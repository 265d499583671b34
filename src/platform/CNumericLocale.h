#pragma once
// C numeric formatting for the calling thread while the guard lives. The toolkit takes the
// user's locale at start, so the C library's printf family writes "0,98" on a comma-decimal
// desktop; file formats that expect "0.98" (the workbook's XML, written by a C library) are
// written under this guard. Other threads and the process's own locale are left as they are.

#include <locale.h>

namespace lum1 {

class TCNumericLocale {
public:
    TCNumericLocale();
    ~TCNumericLocale();
    TCNumericLocale(const TCNumericLocale&) = delete;
    TCNumericLocale& operator=(const TCNumericLocale&) = delete;
    // False when the C convention could not be taken (no memory for it).
    bool Active() const { return locale_ != nullptr; }

private:
    locale_t locale_ = nullptr;
    locale_t previous_ = nullptr;
};

} // namespace lum1
