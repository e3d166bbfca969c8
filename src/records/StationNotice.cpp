#include "StationNotice.h"

#include "ResultRecords.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace mirai {

QString stationNoticeText(bool shareAway, std::int64_t waiting) {
    const QString queue = waiting > 0 ? u"未送信の記録: %1件"_s.arg(waiting) : QString();
    if (!shareAway)
        return queue;
    QString text = u"共有フォルダに接続できません: この端末の記録で表示しています"_s;
    if (!queue.isEmpty())
        text += u"（"_s + queue + u"）"_s;
    return text;
}

QLabel* makeStationNotice(QWidget* parent, const QRect& place) {
    QLabel* notice = ui::makeLabel(parent, u"lblStationNotice"_s, QString(), place, ui::uiFont(10, true));
    notice->setAlignment(Qt::AlignCenter);
    notice->setWordWrap(true);
    notice->setStyleSheet(u"QLabel#lblStationNotice { color: rgb(150,60,0); background: rgb(255,236,200);"
                          u" border: 1px solid rgb(220,150,70); border-radius: 4px; }"_s);
    notice->setToolTip(u"共有フォルダーに届いていない記録は、つながると自動で追加されます。"_s);
    notice->hide();
    return notice;
}

void refreshStationNotice(QLabel* notice, Context ctx) {
    const QString text = stationNoticeText(ctx.state.ShareAway != 0, queuedRecordCount(ctx));
    notice->setText(text);
    notice->setVisible(!text.isEmpty());
}

} // namespace mirai
