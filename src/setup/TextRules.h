#pragma once

#include <QString>

namespace mirai {

// The longest name the name list and the results show; a longer one is cut there.
constexpr int kShownNameLength = 20;

// Why `text` cannot be written into a quoted field of the stations' text files (code page 932, one
// record a line); it names the first character that cannot. Empty when it can.
QString unwritableReason(const QString& text);

// Why a roster name cannot be stored; empty when it can.
QString nameRefusal(const QString& name);
// A warning for a name that is stored but shown only in part; empty when none.
QString nameWarning(const QString& name);

} // namespace mirai
