#pragma once

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace mirai::test {

using Rows = std::vector<QStringList>;

// An RFC 4180 reader: CR LF between rows, fields in double quotes with doubled quotes inside; a
// UTF-8 byte-order mark in front is skipped. `wellFormed` is false for a bare line break outside
// quotes, an open quote or a last row without its CR LF.
Rows readCsv(const QByteArray& bytes, bool* wellFormed);

} // namespace mirai::test
