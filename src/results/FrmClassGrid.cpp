#include "FrmClassGrid.h"

#include "Clock.h"
#include "FrmPicture.h"
#include "GridColours.h"
#include "HubRules.h"
#include "InsightPrint.h"
#include "LoggedAnswer.h"
#include "NumberText.h"
#include "Platform.h"
#include "PrintOutput.h"
#include "Rankings.h"
#include "ResultRecords.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "Statistics.h"
#include "UiSupport.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// The rates count the answers of the last four weeks: recent enough to show how a student does
// now, long enough to hold a few runs.
constexpr int kRateDays = 28;

const QString kNote = u"回数は今週（月曜から）の回数、正答率と誤りの割合は最近4週間の答えのもの。"
                      u"色が濃いほど、手助けが必要です。"_s;

constexpr int kTableTop = 128;
constexpr int kTableBottom = 724;
constexpr int kNameWidth = 150;
constexpr int kGradeWidth = 50;
constexpr int kCellWidth = 64;

// The selected row keeps the colours of its cells, which are what the teacher reads; a dark line
// above and below marks it instead of the usual fill.
class FramedSelection final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, plain, index);
        if (!(option.state & QStyle::State_Selected))
            return;
        painter->save();
        painter->setPen(QPen(QColor(0x1c, 0x3f, 0x78), 3));
        painter->drawLine(option.rect.topLeft() + QPoint(0, 1), option.rect.topRight() + QPoint(0, 1));
        painter->drawLine(option.rect.bottomLeft() - QPoint(0, 1), option.rect.bottomRight() - QPoint(0, 1));
        painter->restore();
    }
};

} // namespace

FrmClassGrid::FrmClassGrid(Context context, QWidget* parent)
    : InsightScreen(context, screens::FrmClassGrid(), u"クラス一覧"_s, parent) {
    buildControls();
    installScreenFilter();
}

void FrmClassGrid::buildControls() {
    QLabel* note = ui::makeLabel(this, u"noteLabel"_s, kNote, QRect(20, 70, 984, 26), ui::uiFont(11));
    note->setWordWrap(true);

    m_table = new QTableView(this);
    m_table->setObjectName(u"gridTable"_s);
    m_table->setGeometry(16, kTableTop, ui::kScreenWidth - 32, kTableBottom - kTableTop);
    m_table->setFont(ui::uiFont(12, true));
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(26);
    QHeaderView* header = m_table->horizontalHeader();
    header->setFont(ui::uiFont(10, true));
    header->setMinimumHeight(46);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    // Roster order until a title is clicked; each click on the same title turns the order round.
    header->setSortIndicator(ClassGridModel::kNameColumn, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setItemDelegate(new FramedSelection(m_table));
    connect(m_table, &QTableView::clicked, this,
            [this](const QModelIndex& index) { OpenStudent(index.row()); });
    connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeLevelTitles(); });

    // The colour scale, lightest to darkest, and how to use the table.
    const int legendTop = kTableBottom + 8;
    ui::makeLabel(this, u"legendLabel"_s, u"手助けの必要　少"_s, QRect(16, legendTop, 150, 28),
                  ui::uiFont(11, true))
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int step = 0; step < kHelpSteps; ++step) {
        QLabel* swatch = ui::makeLabel(this, u"legendStep(%1)"_s.arg(step), QString(),
                                       QRect(172 + step * 34, legendTop + 2, 30, 24), ui::uiFont(10));
        const std::uint32_t rgb = helpStepColours(step).background;
        swatch->setStyleSheet(u"background-color: #%1; border: 1px solid #808080;"_s.arg(
            static_cast<uint>(rgb), 6, 16, QChar(u'0')));
    }
    ui::makeLabel(this, u"legendMoreLabel"_s, u"多"_s, QRect(378, legendTop, 30, 28), ui::uiFont(11, true));
    ui::makeLabel(this, u"hintLabel"_s,
                  u"行をクリック（Enter）でその人の答えの分析、見出しのクリックで並べかえ"_s,
                  QRect(420, legendTop, 588, 28), ui::uiFont(11))
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QStringList FrmClassGrid::levelTitles() const {
    QStringList titles;
    for (const int level : m_model.levels())
        titles.append(m_ctx.state.LevelNames[static_cast<std::size_t>(level)]);
    return titles;
}

void FrmClassGrid::placeLevelTitles() {
    // A title over the columns of each level, following the table when it scrolls sideways.
    const QStringList titles = levelTitles();
    while (m_levelTitles.size() < static_cast<std::size_t>(titles.size())) {
        const int i = static_cast<int>(m_levelTitles.size());
        QLabel* label =
            ui::makeLabel(this, u"levelTitle(%1)"_s.arg(i + 1), QString(), QRect(), ui::uiFont(12, true));
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(u"background-color: #1c3f78; color: white;"_s);
        m_levelTitles.push_back(label);
    }
    const QRect viewport = m_table->viewport()->geometry().translated(m_table->pos());
    for (std::size_t i = 0; i < m_levelTitles.size(); ++i) {
        QLabel* label = m_levelTitles[i];
        if (static_cast<qsizetype>(i) >= titles.size()) {
            label->hide();
            continue;
        }
        const int first = ClassGridModel::kFirstLevelColumn + static_cast<int>(i) * kGridColumns;
        const int left = viewport.left() + m_table->columnViewportPosition(first);
        const int right = viewport.left() + m_table->columnViewportPosition(first + kGridColumns - 1) +
                          m_table->columnWidth(first + kGridColumns - 1);
        const QRect place = QRect(left, kTableTop - 28, right - left, 26) &
                            QRect(viewport.left(), 0, viewport.width(), kTableTop);
        label->setText(titles[static_cast<qsizetype>(i)]);
        label->setGeometry(place.adjusted(1, 0, -1, 0));
        label->setVisible(!place.isEmpty());
    }
}

void FrmClassGrid::activate() {
    if (m_read)
        return; // back from a student's picture: as it was
    m_read = true;
    readGrid();
}

void FrmClassGrid::readGrid() {
    SharedState& state = m_ctx.state;
    QPointer<FrmClassGrid> guard(this);
    // Cleared and blocked as the results screen would show them now.
    if (!ComputeResultStatistics(m_ctx) || !guard)
        return;
    const auto today = static_cast<std::int32_t>(oleDate(m_ctx.platform.clock->today()));

    // The listed students of the group, in roster order; teachers are not in the class.
    std::vector<std::int16_t> numbers;
    std::vector<GridStudent> students;
    const int listed =
        std::min<int>(state.ListedStudentCount, static_cast<int>(state.NumberByPosition.size()) - 1);
    for (int position = 1; position <= listed; ++position) {
        const int number = state.NumberByPosition[static_cast<std::size_t>(position)];
        if (!isStudentNumber(number))
            continue;
        const QString name = trimBlanks(state.RosterNames[static_cast<std::size_t>(number)]);
        const int grade = gradeOf(state, number);
        if (isTeacherName(name) || !InSelectedGroup(m_group, grade))
            continue;
        numbers.push_back(static_cast<std::int16_t>(number));
        students.push_back({{name, fullWidthGradeLabel(grade)}, grade});
    }
    std::vector<int> levels;
    for (int level = 1; level <= std::clamp<int>(state.LevelCount, 0, kMaxLevel); ++level)
        levels.push_back(level);

    const auto gridWithStatus = [&] {
        ClassGrid grid(numbers, today, today - (kRateDays - 1));
        for (int row = 0; row < grid.rows(); ++row) {
            const int student = grid.student(row);
            const std::vector<bool> blocked = blockedLevels(state, student, static_cast<int>(levels.size()),
                                                            requiredRunsCleared(state, student));
            for (const int level : levels)
                grid.setStatus(row, level, levelCleared(state, level, student),
                               blocked[static_cast<std::size_t>(level)]);
        }
        return grid;
    };
    ClassGrid grid = gridWithStatus();
    const bool read = readAnswerLog(StudentFilter(std::vector<int>(numbers.begin(), numbers.end())),
                                    [&grid](const LoggedAnswer* answers, std::int64_t count) {
                                        for (std::int64_t i = 0; i < count; ++i)
                                            grid.add(answers[i]);
                                    });
    if (!guard)
        return;
    // A log read only in part would mislead: without it the grid shows the students alone.
    if (!read)
        grid = gridWithStatus();
    m_model.setGrid(std::move(grid), std::move(levels), std::move(students));

    m_subtitle->setText(m_group + u"　"_s + QString::number(m_model.rowCount()) + u"人"_s);
    m_table->setColumnWidth(ClassGridModel::kNameColumn, kNameWidth);
    m_table->setColumnWidth(ClassGridModel::kGradeColumn, kGradeWidth);
    for (int column = ClassGridModel::kFirstLevelColumn; column < m_model.columnCount(); ++column)
        m_table->setColumnWidth(column, kCellWidth);
    placeLevelTitles();
    m_table->setFocus();
    if (m_model.rowCount() > 0)
        m_table->setCurrentIndex(m_model.index(0, ClassGridModel::kNameColumn));
}

void FrmClassGrid::OpenStudent(int shownRow) {
    if (reading())
        return;
    if (const std::optional<int> student = m_model.studentAt(shownRow))
        openStudentPicture(m_ctx, *student);
}

void FrmClassGrid::print() {
    GridPaper paper;
    paper.family = ui::fixedPitchFamily();
    paper.heading = u"クラス一覧　"_s + m_group;
    paper.note = kNote;
    paper.dateText = dateText(m_ctx.platform.clock->today());
    paper.levels = m_model.levels();
    paper.levelTitles = levelTitles();
    paper.rows = m_model.order();
    paper.labelOf = [this](int student) { return m_model.labelOf(student); };
    const PaperJob job{m_ctx.state.ProgramTitle, u"クラス一覧"_s, PageOrientation::Landscape,
                       QDir::homePath()};
    printDocument(job, [&](DrawingSurface& surface) { drawClassGrid(surface, m_model.grid(), paper); });
}

void FrmClassGrid::exportCsv() {
    const QByteArray bytes = classGridCsv(m_model.grid(), m_model.order(), m_model.levels(),
                                          [this](int student) { return m_model.labelOf(student); });
    saveCsv(u"クラス一覧_"_s + m_ctx.platform.clock->today().toString(u"yyyyMMdd"_s) + u".csv"_s, bytes,
            QString::number(m_model.rowCount()) + u"人の一覧をCSVファイルに書き出しました。"_s);
}

bool FrmClassGrid::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (receiver == m_table || receiver == m_table->viewport())) {
        OpenStudent(m_table->currentIndex().row());
        return true;
    }
    return InsightScreen::screenKeyPress(receiver, event);
}

void openClassGrid(Context context, const QString& groupText) {
    ScreenManager* screens = context.platform.screens;
    if (!screens)
        return;
    auto* grid = qobject_cast<FrmClassGrid*>(screens->load(screens::FrmClassGrid()));
    if (!grid)
        return;
    grid->setGroup(groupText);
    screens->show(screens::FrmClassGrid());
}

} // namespace mirai
