#pragma once

#include <QFrame>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace mirai {

// The edit strip `Picture3` of the record maintenance screen: the open record's number, level and
// date, the student it belongs to, its seconds with a scroll bar, and the three buttons. The
// screen fills it and reacts to it.
class EditStrip : public QFrame {
    Q_OBJECT
public:
    explicit EditStrip(QWidget* parent);

    QLabel* label1 = nullptr;        // record number
    std::array<QLabel*, 5> label2{}; // (0) "秒", (1) level, (2) date, (4) grade; (3) unused
    QComboBox* combo1 = nullptr;     // student
    QLineEdit* text1 = nullptr;      // seconds, `Text1(1)`
    QScrollBar* vScroll1 = nullptr;  // 0 (top) .. 6000 (bottom)
    QPushButton* command3 = nullptr; // "消去"
    QPushButton* command2 = nullptr; // "変更して記録"
    QPushButton* command6 = nullptr; // "キャンセル"
};

} // namespace mirai
