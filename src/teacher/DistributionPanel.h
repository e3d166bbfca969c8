#pragma once

#include <QFrame>

class QListWidget;

namespace mirai {

struct DistributionLists;

// The distribution panel `Picture3` of the criteria editor: all recorded times of a level
// (`List3`) and the students' best times (`List4`), as star rows of 10 seconds.
class DistributionPanel : public QFrame {
    Q_OBJECT
public:
    explicit DistributionPanel(QWidget* parent);

    // Shows the lists of a level; a list that shows the same level again keeps its scroll place.
    void showLists(int level, const DistributionLists& lists);
    void clear();

    QListWidget* list3 = nullptr;
    QListWidget* list4 = nullptr;

private:
    int m_level = -1;
};

} // namespace mirai
