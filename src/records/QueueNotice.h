#pragma once

#include <QString>
#include <cstdint>

class QLabel;
class QWidget;

namespace mirai {

struct SharedState;

// The small notice of the name selection while runs of this station wait to reach the shared
// result file: "未送信の記録: n件", nothing when none waits.
QString queueNoticeText(std::int64_t waiting);

// The notice, hidden until refreshQueueNotice finds runs waiting.
QLabel* makeQueueNotice(QWidget* parent);
void refreshQueueNotice(QLabel* notice, const SharedState& state);

} // namespace mirai
