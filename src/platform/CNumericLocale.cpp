#include "platform/CNumericLocale.h"

namespace lum1 {

TCNumericLocale::TCNumericLocale() {
    // The thread's present locale with only its numbers in the C convention: texts keep their
    // character set.
    const locale_t base = duplocale(uselocale(nullptr));
    if (!base)
        return;
    locale_ = newlocale(LC_NUMERIC_MASK, "C", base);
    if (!locale_) {
        freelocale(base);
        return;
    }
    previous_ = uselocale(locale_);
}

TCNumericLocale::~TCNumericLocale() {
    if (!locale_)
        return;
    uselocale(previous_);
    freelocale(locale_);
}

} // namespace lum1
