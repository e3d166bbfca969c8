#include "FrmTimeData.h"

#include "AppControl.h"
#include "Configuration.h"
#include "CriteriaTable.h"
#include "DistributionPanel.h"
#include "LevelCriteria.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "RecordFile.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <cmath>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kGridColumns = kCriteriaFields + 1; // the level column and the 12 fields
constexpr int kVisibleRows = 33;
constexpr int kRowHeight = 18;
constexpr int kCaretPosition = 10;

const QColor kMarked = ui::fromBgr(0x0000FFFF);
const QColor kFixedCell(214, 220, 230);

QTableWidgetItem* fixedCell(const QString& text) {
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled);
    cell->setBackground(kFixedCell);
    cell->setTextAlignment(Qt::AlignCenter);
    cell->setFont(ui::uiFont(7.5));
    return cell;
}

QTableWidgetItem* valueCell(const QString& text) {
    auto* cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

} // namespace

FrmTimeData::FrmTimeData(Context context, QWidget* parent) : Screen(parent), m_ctx(context) {
    setObjectName(u"FrmTimeData"_s);
    setWindowTitle(m_ctx.state.ProgramTitle);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    buildControls();
    installScreenFilter();
}

void FrmTimeData::buildControls() {
    m_picture1 = new QWidget(this);
    m_picture1->setObjectName(u"Picture1"_s);
    m_picture1->setGeometry(0, 0, ui::kScreenWidth, ui::kScreenHeight);
    ui::setBackground(m_picture1, ui::fromBgr(0xC0FFC0));
    m_picture1->hide();

    auto* label5 = ui::makeLabel(m_picture1, u"Label5"_s, u"成績の基準となるデータを変更できます"_s,
                                 QRect(12, 6, 676, 36), ui::uiFont(17, true));
    label5->setStyleSheet(u"color: #1d4d12;"_s);

    m_grid = new QTableWidget(m_picture1);
    m_grid->setObjectName(u"MSFlexGrid1"_s);
    m_grid->setGeometry(12, 46, 676, kVisibleRows * kRowHeight);
    m_grid->setFont(ui::uiFont(9));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setMinimumSectionSize(kRowHeight);
    m_grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_grid->horizontalHeader()->setMinimumSectionSize(8);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setFocusPolicy(Qt::NoFocus); // every key goes to the cell editor
    m_grid->setTextElideMode(Qt::ElideNone);
    m_grid->setWordWrap(false);
    m_grid->setColumnCount(kGridColumns);
    connect(m_grid, &QTableWidget::cellClicked, this, &FrmTimeData::gridClick);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_editor->isVisible())
            PlaceCellEditor();
    });

    m_editor = new QLineEdit(m_picture1);
    m_editor->setObjectName(u"Gridinputtext"_s);
    m_editor->setFont(ui::uiFont(10, true));
    m_editor->setFrame(false);
    m_editor->setStyleSheet(u"QLineEdit { border: 2px solid #1f5fbf; background: white; padding: 0 1px; }"_s);
    m_editor->setContextMenuPolicy(Qt::NoContextMenu);
    m_editor->setAcceptDrops(false);
    m_editor->hide();
    connect(m_editor, &QLineEdit::textChanged, this, &FrmTimeData::editorTextChanged);

    const int below = m_grid->geometry().bottom() + 6;
    ui::makeLabel(m_picture1, u"Label1"_s, u"スペース：セルクリア　　Shift + ↓：セルコピー"_s,
                  QRect(12, below, 340, 22), ui::uiFont(11, true));
    m_hint =
        ui::makeLabel(m_picture1, u"CellHint"_s, QString(), QRect(356, below, 330, 22), ui::uiFont(10, true));
    m_hint->setStyleSheet(u"color: #b00000;"_s);
    auto* label6 = ui::makeLabel(m_picture1, u"Label6"_s, u"列の説明"_s, QRect(12, below + 28, 80, 22),
                                 ui::uiFont(11, true));
    label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label3 =
        ui::makeLabel(m_picture1, u"Label3"_s, QString(), QRect(96, below + 28, 592, 64), ui::uiFont(11));
    m_label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label3->setStyleSheet(u"background: #f7fff2; border: 1px solid #8bb27a; padding: 2px 4px;"_s);

    m_picture3 = new DistributionPanel(m_picture1);
    m_picture3->setGeometry(696, 46, 320, 594);

    const QFont buttonFont = ui::uiFont(13, true);
    m_command3 =
        ui::makeButton(m_picture1, u"Command3"_s, u"更新記録"_s, QRect(696, 660, 100, 60), buttonFont);
    m_command2 =
        ui::makeButton(m_picture1, u"Command2"_s, u"元に戻す"_s, QRect(806, 660, 100, 60), buttonFont);
    m_command4 = ui::makeButton(m_picture1, u"Command4"_s, u"戻る"_s, QRect(916, 660, 100, 60), buttonFont);
    for (QPushButton* button : {m_command3, m_command2, m_command4})
        button->setAutoDefault(true);
    connect(m_command3, &QPushButton::clicked, this, [this] {
        SaveCriteria();
        afterButton();
    });
    connect(m_command2, &QPushButton::clicked, this, [this] {
        LoadCriteria();
        afterButton();
    });
    connect(m_command4, &QPushButton::clicked, this, &FrmTimeData::LeaveEditor);
    m_command7 = ui::makeButton(m_picture1, u"Command7"_s, QString(), QRect(), buttonFont);
    m_command7->hide();
    connect(m_command7, &QPushButton::clicked, this, &FrmTimeData::RefreshDistribution);

    m_picture6 = new QWidget(this);
    m_picture6->setObjectName(u"Picture6"_s);
    ui::setBackground(m_picture6, QColor(250, 250, 246));
    auto* label8 = ui::makeLabel(m_picture6, u"Label8"_s, u"Just a moment,please."_s,
                                 QRect(0, 330, ui::kScreenWidth, 60), ui::uiFont(28, true));
    label8->setAlignment(Qt::AlignCenter);
    m_picture6->setGeometry(ui::twipRect(0, 0, 15360, 11520));
    m_picture6->hide();
}

// ---------------------------------------------------------------------------------------------
// Grid state

QTableWidgetItem* FrmTimeData::item(int row, int column) const {
    return m_grid->item(row, column);
}

int FrmTimeData::currentRow() const {
    return m_grid->currentRow();
}

int FrmTimeData::currentColumn() const {
    return m_grid->currentColumn();
}

int FrmTimeData::rowCount() const {
    return m_grid->rowCount();
}

QString FrmTimeData::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

bool FrmTimeData::cellMarked(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell && cell->background().style() != Qt::NoBrush && cell->background().color() == kMarked;
}

QString FrmTimeData::criteriaPath() const {
    return m_ctx.state.DataFolder + QString::fromUtf16(files::kCriteria);
}

void FrmTimeData::setColumnWidths() {
    const int width = static_cast<int>(std::nearbyint(m_grid->width() / static_cast<double>(kGridColumns)));
    for (int c = 0; c < kGridColumns; ++c)
        m_grid->setColumnWidth(c, width);
    m_grid->setColumnWidth(1, static_cast<int>(std::nearbyint(0.8 * m_grid->columnWidth(2))));
}

// ---------------------------------------------------------------------------------------------
// Activation, load, save, leave

void FrmTimeData::activate() {
    m_grid->setColumnCount(kGridColumns);
    m_picture1->show();
    LoadCriteria();
    setColumnWidths();
    if (rowCount() < 2) {
        // Only the title line: there is no cell to edit and no level to show.
        m_editor->hide();
        m_picture3->clear();
        return;
    }
    selectCell(1, 1);
    m_editor->show();
    PlaceCellEditor();
    GridToText転送();
    RefreshDistribution();
}

bool FrmTimeData::LoadCriteria() {
    const std::optional<CriteriaFile> file = loadCriteriaFile(criteriaPath());
    const int row = currentRow();
    const int column = currentColumn();
    {
        const QSignalBlocker blocker(m_grid);
        m_grid->setRowCount(0);
        m_grid->setRowCount(1);
        m_grid->setItem(0, 0, fixedCell(u"レベル"_s));
        const CriteriaRow titles = criteriaTitles();
        for (int c = 1; c < kGridColumns; ++c)
            m_grid->setItem(0, c, fixedCell(titles[static_cast<std::size_t>(c - 1)]));
        if (file) {
            m_grid->setRowCount(static_cast<int>(file->levels.size()) + 1);
            for (int r = 1; r <= static_cast<int>(file->levels.size()); ++r) {
                m_grid->setItem(r, 0, fixedCell(QString::number(r)));
                const CriteriaRow& cells = file->levels[static_cast<std::size_t>(r - 1)];
                for (int c = 1; c < kGridColumns; ++c)
                    m_grid->setItem(r, c, valueCell(cells[static_cast<std::size_t>(c - 1)]));
            }
        }
    }
    m_grid->setFixedHeight(kVisibleRows * m_grid->rowHeight(0));
    m_loadFailed = !file;
    m_lastCriteriaRow = file ? file->lastRow : 0;
    if (!file) {
        m_ctx.platform.messages->show(u"合格タイムデータのファイルを読み込めませんでした。\r\n"_s +
                                          criteriaPath(),
                                      u"注意"_s, MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    // The cell the teacher was on stays current when the table still has it.
    if (row >= 1 && rowCount() > 1)
        selectCell(row, column);
    return true;
}

bool FrmTimeData::SaveCriteria() {
    if (m_loadFailed) {
        m_ctx.platform.messages->show(u"ファイルを読み込めなかったので、記録しません。"
                                      u"「元に戻す」で読み直してください。\r\n"_s +
                                          criteriaPath(),
                                      u"注意"_s, MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    showWaitPanel(true);
    // The title line is written even when the file held nothing else.
    std::vector<CriteriaRow> rows;
    const int last = std::clamp(m_lastCriteriaRow, 0, rowCount() - 1);
    for (int r = 0; r <= last; ++r) {
        CriteriaRow row;
        for (int c = 1; c < kGridColumns; ++c)
            row[static_cast<std::size_t>(c - 1)] = cellText(r, c);
        rows.push_back(row);
    }
    const bool saved = saveCriteriaFile(criteriaPath(), rows);
    showWaitPanel(false);
    if (!saved) {
        m_ctx.platform.messages->show(
            u"合格タイムデータを記録できませんでした。ファイルは元のままです。\r\n"_s + criteriaPath(),
            u"注意"_s, MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    m_criteriaModified = 0;
    // The next run uses the new values.
    LoadLevelCriteria(m_ctx.state);
    return true;
}

void FrmTimeData::LeaveEditor() {
    QPointer<FrmTimeData> guard(this);
    if (m_criteriaModified == 1) {
        const MessageAnswer answer =
            m_ctx.platform.messages->show(u"データが変更されています。記録しますか？"_s, u"注意"_s,
                                          MessageButtons::YesNo, MessageIcon::Question);
        if (!guard)
            return;
        // A save that failed keeps the editor open: leaving now would lose the changes.
        if (answer == MessageAnswer::Yes && !SaveCriteria()) {
            afterButton();
            return;
        }
    }
    showWaitPanel(true);
    ScreenManager* screens = m_ctx.platform.screens;
    if (!screens)
        return;
    screens->show(screens::seisekitime1());
    if (guard)
        screens->close(screens::FrmTimeData());
}

void FrmTimeData::showWaitPanel(bool shown) {
    m_picture6->setVisible(shown);
    if (shown) {
        m_picture6->raise();
        m_picture6->repaint();
    }
}

void FrmTimeData::afterButton() {
    if (!m_editor->isVisible())
        return;
    PlaceCellEditor();
    GridToText転送();
}

// ---------------------------------------------------------------------------------------------
// The cell editor

void FrmTimeData::TextToGrid転送() {
    const int row = currentRow();
    const int column = currentColumn();
    if (row < 1 || column < 1)
        return;
    writeCell(row, column, m_editor->text());
}

void FrmTimeData::writeCell(int row, int column, const QString& text) {
    QTableWidgetItem* cell = item(row, column);
    if (!cell)
        return;
    if (cell->text() != text) {
        cell->setBackground(kMarked);
        m_criteriaModified = 1;
    }
    cell->setText(text);
}

void FrmTimeData::GridToText転送() {
    m_editor->setText(cellText(currentRow(), currentColumn()));
    m_editor->setCursorPosition(kCaretPosition);
}

void FrmTimeData::PlaceCellEditor() {
    QTableWidgetItem* cell = item(currentRow(), currentColumn());
    if (!cell)
        return;
    m_grid->scrollToItem(cell);
    const QRect rect = m_grid->visualItemRect(cell);
    m_editor->setGeometry(QRect(m_grid->viewport()->mapTo(m_picture1, rect.topLeft()), rect.size()));
    m_editor->raise();
    m_editor->setFocus();
    m_editor->setCursorPosition(kCaretPosition);
    m_label3->setText(criteriaHelpText(currentColumn()));
}

void FrmTimeData::selectCell(int row, int column) {
    // The title row and the level column are fixed: the nearest value cell is taken instead.
    m_grid->setCurrentCell(std::clamp(row, 1, rowCount() - 1), std::clamp(column, 1, kCriteriaFields));
    m_selectionEnd = currentRow(); // setting the current cell collapses the selection to it
}

void FrmTimeData::gridClick(int row, int column) {
    if (rowCount() < 2)
        return;
    selectCell(row, column);
    m_editor->show();
    PlaceCellEditor();
    QPointer<FrmTimeData> guard(this);
    RefreshDistribution();
    if (guard)
        GridToText転送();
}

void FrmTimeData::moveTo(int row, int column) {
    selectCell(row, column);
    m_editor->setText(cellText(row, column));
    PlaceCellEditor();
}

void FrmTimeData::copyDown() {
    if (m_selectionEnd >= rowCount() - 1)
        return;
    ++m_selectionEnd;
    const int column = currentColumn();
    m_grid->setRangeSelected(QTableWidgetSelectionRange(currentRow(), column, m_selectionEnd, column), true);
    const QString text = m_editor->text();
    for (int r = currentRow(); r <= m_selectionEnd; ++r)
        writeCell(r, column, text);
}

void FrmTimeData::editorTextChanged(const QString& text) {
    const QString kept = withoutRefusedCharacters(text);
    if (kept != text) {
        // Pasted or dropped text: the refused characters are not taken.
        showHint(true);
        m_editor->setText(kept);
        return;
    }
    TextToGrid転送();
}

void FrmTimeData::showHint(bool refused) {
    m_hint->setText(refused ? u"「,」と「\"」は使えません（ファイルの区切りになります）"_s : QString());
}

bool FrmTimeData::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    if (receiver != m_editor)
        return false;
    const int key = event->key();
    if (key == Qt::Key_Escape)
        return true;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return false; // on to the buttons
    const int row = currentRow();
    const int column = currentColumn();
    switch (key) {
    case Qt::Key_Up:
        if (row > 1)
            moveTo(row - 1, column);
        break;
    case Qt::Key_Down:
        if (event->modifiers() & Qt::ShiftModifier)
            copyDown();
        else if (row < rowCount() - 1)
            moveTo(row + 1, column);
        break;
    case Qt::Key_Left:
        if (column > 1)
            moveTo(row, column - 1);
        break;
    case Qt::Key_Right:
        if (column < kCriteriaFields)
            moveTo(row, column + 1);
        break;
    default:
        break;
    }
    QPointer<FrmTimeData> guard(this);
    RefreshDistribution();
    if (!guard)
        return true;
    GridToText転送();

    // The key itself has no effect of its own; a typed character still arrives at the caret.
    if (key == Qt::Key_Backspace) {
        showHint(false);
        return false;
    }
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint())
        return true;
    const QChar typed = text.at(0);
    if (isRefusedInCell(typed)) {
        showHint(true);
        return true;
    }
    showHint(false);
    if (typed == u' ') {
        m_editor->clear();
        return true;
    }
    return false;
}

void FrmTimeData::RefreshDistribution() {
    if (rowCount() < 2) {
        m_picture3->clear();
        return;
    }
    QPointer<FrmTimeData> guard(this);
    const int level = currentRow();
    m_distribution.reset(level);
    const bool read = scanResultFile(
        m_ctx, [this](const char* records, std::int64_t count) { m_distribution.add(records, count); });
    if (!guard || !read)
        return;
    m_picture3->showLists(level, distributionLines(m_distribution.finish()));
}

} // namespace mirai
