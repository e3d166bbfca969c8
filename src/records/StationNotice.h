#pragma once

#include "Context.h"

#include <QRect>
#include <QString>
#include <cstdint>

class QLabel;
class QWidget;

namespace mirai {

// The small notice of the name selection and the results hub: that the shared folder is out of
// reach and the station shows what it knows, and how many runs wait to reach the shared result
// file. Empty when all is well.
QString stationNoticeText(bool shareAway, std::int64_t waiting);

// The notice at `place`, hidden until refreshStationNotice finds something to say.
QLabel* makeStationNotice(QWidget* parent, const QRect& place);
void refreshStationNotice(QLabel* notice, Context ctx);

} // namespace mirai
