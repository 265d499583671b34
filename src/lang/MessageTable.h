#pragma once
// The built-in message table: every text the program looks up by key, in both languages, in
// the order in which the language files are written.

#include <QStringView>

#include <array>

namespace lum1 {

struct MessageRow {
    QStringView key;
    QStringView russian;
    QStringView english;
};

extern const std::array<MessageRow, 113> MessageTable;

// The row of a key (case-insensitive, as the files are read), or nullptr.
const MessageRow* FindMessageRow(QStringView key);

} // namespace lum1
