// The allowed values of an enumerated field, from the texts its record carries.
#pragma once

#include <QString>
#include <QStringList>

namespace sondar {

// Splits `source` at each "|": pieces are trimmed and kept once (compared without regard to
// case), in order; after each separator only the next 255 characters of the rest are looked
// at.
QStringList splitAllowedValues(const QString& source);

}  // namespace sondar
