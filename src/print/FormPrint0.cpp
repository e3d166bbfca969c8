#include "FormPrint0.h"

#include "Configuration.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "PrintScreens.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kWidth = kLeftStripTwips / ui::kTwipsPerPixel;
constexpr int kMargin = 12;
constexpr int kInner = kWidth - 2 * kMargin;

} // namespace

FormPrint0::FormPrint0(Context context, std::shared_ptr<PrintState> print, QWidget* parent)
    : Screen(parent), m_ctx(context), m_print(std::move(print)) {
    setWindowTitle(u"印刷設定"_s);
    setFixedSize(kWidth, ui::kScreenHeight);
    move(0, 0);
    ui::setBackground(this, QColor(255, 250, 240));
    buildControls();
    installScreenFilter();
}

void FormPrint0::buildControls() {
    QLabel* label1 =
        ui::makeLabel(this, u"Label1"_s, u"印刷設定"_s, QRect(0, 0, kWidth, 68), ui::uiFont(27.75, true));
    label1->setAlignment(Qt::AlignCenter);
    ui::setBackground(label1, ui::fromBgr(0x0080FF));
    ui::setTextColour(label1, Qt::white);

    // The controls stand one under the other; each row starts below the one before it.
    int y = 78;
    ui::makeLabel(this, u"Label2"_s, u"レベルを選んでください"_s, QRect(kMargin, y, kInner, 26),
                  ui::uiFont(11, true));
    y += 28;

    m_list1 = new QListWidget(this);
    m_list1->setObjectName(u"List1"_s);
    m_list1->setFont(ui::uiFont(14));
    m_list1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every level shows at once: eight rows of a fixed height.
    constexpr int kRowHeight = 24;
    for (int level = 1; level <= kPrintLevels; ++level) {
        auto* item = new QListWidgetItem(QString::number(level), m_list1);
        item->setSizeHint(QSize(kInner - 8, kRowHeight));
    }
    m_list1->setCurrentRow(0);
    m_list1->item(0)->setSelected(true);
    m_list1->ensurePolished();
    const int listHeight = kRowHeight * kPrintLevels + 2 * m_list1->frameWidth();
    m_list1->setGeometry(kMargin, y, kInner, listHeight);
    connect(m_list1, &QListWidget::itemSelectionChanged, this, &FormPrint0::choiceChanged);
    y += listHeight + 6;

    QLabel* label3 = ui::makeLabel(this, u"Label3"_s,
                                   u"Shiftを押しながら選ぶと複数選択できます(そのうち15問が印刷されます)"_s,
                                   QRect(kMargin, y, kInner, 44), ui::uiFont(9.5));
    label3->setWordWrap(true);
    label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    y += 56;

    m_option1 = new QButtonGroup(this);
    for (int index = 1; index <= 5; ++index) {
        auto* option = new QRadioButton(QString::fromUtf16(blankingOption(index).caption), this);
        option->setObjectName(u"Option1(%1)"_s.arg(index));
        option->setFont(ui::uiFont(10.5));
        option->setGeometry(kMargin, y, kInner, 28);
        m_option1->addButton(option, index);
        y += 30;
    }
    m_option1->button(1)->setChecked(true);
    connect(m_option1, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            choiceChanged();
    });
    y += 6;

    m_check1 = new QCheckBox(u"順序を変える"_s, this);
    m_check1->setObjectName(u"Check1"_s);
    m_check1->setFont(ui::uiFont(10.5, true));
    m_check1->setGeometry(kMargin, y, kInner, 28);
    m_check1->setChecked(true);
    connect(m_check1, &QCheckBox::toggled, this, &FormPrint0::choiceChanged);
    y += 38;

    QPushButton* command3 = ui::makeButton(this, u"Command3"_s, u"再並べ替え"_s,
                                           QRect(kMargin, y, kInner, 46), ui::uiFont(12, true));
    connect(command3, &QPushButton::clicked, this, &FormPrint0::command3Click);
    QPushButton* command1 = ui::makeButton(this, u"Command1"_s, u"印刷へ"_s, QRect(kMargin, 626, kInner, 58),
                                           ui::uiFont(16, true));
    connect(command1, &QPushButton::clicked, this, &FormPrint0::command1Click);
    QPushButton* command2 = ui::makeButton(this, u"Command2"_s, u"もどる"_s, QRect(kMargin, 698, kInner, 58),
                                           ui::uiFont(14, true));
    connect(command2, &QPushButton::clicked, this, &FormPrint0::command2Click);
}

void FormPrint0::choiceChanged() {
    if (m_opened)
        PreparePrintTable();
}

void FormPrint0::activate() {
    if (m_opened)
        return;
    m_opened = true;
    PreparePrintTable();
    m_list1->setFocus();
}

QString FormPrint0::sourcePath() const {
    return m_ctx.state.AppFolder + QString::fromUtf16(files::kPrintSource);
}

PrintChoices FormPrint0::choices() const {
    PrintChoices choices;
    for (int level = 0; level < kPrintLevels; ++level)
        choices.levels[static_cast<std::size_t>(level)] = m_list1->item(level)->isSelected();
    choices.shuffle = m_check1->isChecked();
    choices.option = m_option1->checkedId();
    return choices;
}

void FormPrint0::PreparePrintTable() {
    const QString path = sourcePath();
    const PrepareOutcome outcome =
        mirai::PreparePrintTable(*m_print, path, choices(), *m_ctx.platform.random);
    if (outcome.sourceRead) {
        m_toldMissing = false;
        return;
    }
    if (m_toldMissing)
        return;
    m_toldMissing = true;
    m_ctx.platform.messages->show(u"印刷する問題のファイルが見つからないか、読めません。\n"_s + path,
                                  m_ctx.state.ProgramTitle, MessageButtons::Ok, MessageIcon::Warning);
}

void FormPrint0::command1Click() {
    ScreenManager* screens = m_ctx.platform.screens;
    if (!screens)
        return;
    // Already in front, the print screen is not activated again by showing it: redraw it here.
    const bool wasCurrent =
        screens->current() == screens::frmPrint() && screens->isVisible(screens::frmPrint());
    Screen* screen = screens->show(screens::frmPrint());
    if (screen && wasCurrent)
        screen->activate();
}

void FormPrint0::command2Click() {
    if (m_ctx.platform.screens)
        m_ctx.platform.screens->close(screens::FormPrint0());
}

void FormPrint0::command3Click() {
    PreparePrintTable();
}

bool FormPrint0::screenKeyPress(QObject*, QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        command2Click();
        return true;
    }
    return false;
}

} // namespace mirai
