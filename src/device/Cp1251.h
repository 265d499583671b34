#pragma once
// Windows-1251 bytes (the gauge's texts) to a QString.
#include <QByteArray>
#include <QString>

namespace lum1 {
QString DecodeCp1251(const QByteArray& bytes);
}
