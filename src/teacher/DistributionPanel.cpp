#include "DistributionPanel.h"

#include "Distribution.h"
#include "UiSupport.h"
#include "namesel.h"

#include <QLabel>
#include <QListWidget>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

QListWidget* makeList(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setGeometry(geometry);
    list->setFont(fixedListFont(12));
    list->setUniformItemSizes(true);
    list->setFocusPolicy(Qt::NoFocus); // the cell editor keeps the keys
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setTextElideMode(Qt::ElideNone);
    return list;
}

// Lines that are already there only change their text: a key stroke rebuilds no list.
void refill(QListWidget* list, const QStringList& lines, bool keepPlace) {
    if (list->count() != lines.size()) {
        list->clear();
        list->addItems(lines);
    } else {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            if (item->text() != lines[i])
                item->setText(lines[i]);
        }
    }
    if (!keepPlace)
        list->scrollToTop();
}

} // namespace

DistributionPanel::DistributionPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(u"Picture3"_s);
    ui::setBackground(this, QColor(246, 252, 240));
    setFrameShape(QFrame::Box);
    // The two lists one above the other, each as wide as the panel: long star rows stay whole.
    auto* label7 = ui::makeLabel(this, u"Label7"_s, u"現在までの成績度数分布"_s, QRect(8, 6, 300, 26),
                                 ui::uiFont(13, true));
    label7->setStyleSheet(u"color: #2f5d1e;"_s);
    ui::makeLabel(this, u"Label9"_s, u"全成績"_s, QRect(8, 34, 300, 22), ui::uiFont(11, true));
    list3 = makeList(this, u"List3"_s, QRect(8, 56, 304, 262));
    ui::makeLabel(this, u"Label10"_s, u"最高タイム"_s, QRect(8, 324, 300, 22), ui::uiFont(11, true));
    list4 = makeList(this, u"List4"_s, QRect(8, 346, 304, 240));
}

void DistributionPanel::showLists(int level, const DistributionLists& lists) {
    const bool sameLevel = level == m_level;
    m_level = level;
    refill(list3, lists.allTimes, sameLevel);
    refill(list4, lists.bestTimes, sameLevel);
}

void DistributionPanel::clear() {
    m_level = -1;
    list3->clear();
    list4->clear();
}

} // namespace mirai
