// Text files users bring along: UTF-8 as written here, or Windows-1252 as older Windows
// programs wrote them.
#pragma once

#include <QByteArray>
#include <QString>

namespace sondar {

// UTF-8 (a byte-order mark dropped); bytes that are not valid UTF-8 are read as
// Windows-1252 instead.
QString decodeUserText(const QByteArray& bytes);

}  // namespace sondar
