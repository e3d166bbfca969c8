#include "QueueNotice.h"

#include "RecordQueue.h"
#include "UiSupport.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace mirai {

QString queueNoticeText(std::int64_t waiting) {
    if (waiting <= 0)
        return {};
    return u"未送信の記録: %1件"_s.arg(waiting);
}

QLabel* makeQueueNotice(QWidget* parent) {
    QLabel* notice = ui::makeLabel(parent, u"lblWaitingRecords"_s, QString(), QRect(740, 78, 270, 20),
                                   ui::uiFont(10, true));
    notice->setAlignment(Qt::AlignCenter);
    notice->setStyleSheet(u"QLabel#lblWaitingRecords { color: rgb(150,60,0); background: rgb(255,236,200);"
                          u" border: 1px solid rgb(220,150,70); border-radius: 4px; }"_s);
    notice->setToolTip(u"共有フォルダーに届いていない記録です。つながると自動で追加されます。"_s);
    notice->hide();
    return notice;
}

void refreshQueueNotice(QLabel* notice, const SharedState& state) {
    const QString text = queueNoticeText(queuedRecordCount(state));
    notice->setText(text);
    notice->setVisible(!text.isEmpty());
}

} // namespace mirai
