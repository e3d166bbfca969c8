#include "FrmPicture.h"

#include "Clock.h"
#include "InsightCsv.h"
#include "InsightPrint.h"
#include "NumberText.h"
#include "PictureTables.h"
#include "Platform.h"
#include "PrintOutput.h"
#include "Rankings.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <QButtonGroup>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kRowHeight = 26;

// Where each table lies, in the order of pictureTables(): two columns of two.
struct TablePlace {
    QRect area;     // of the table
    int labelWidth; // of its first column
};
constexpr int kLeft = 16;
constexpr int kRight = 516;
constexpr int kTableWidth = 492;
const std::array<TablePlace, 4> kPlaces{{
    {QRect(kLeft, 140, kTableWidth, kRowHeight * 8 + 2), 212},
    {QRect(kLeft, 384, kTableWidth, kRowHeight * 9 + 2), 212},
    {QRect(kRight, 140, kTableWidth, kRowHeight * 6 + 2), 62},
    {QRect(kRight, 332, kTableWidth, kRowHeight * 10 + 2), 62},
}};

const QString kExplanation =
    u"小数点の誤り：数字は合っていて、小数点の位置がちがう答え（0.7×0.08 を 0.56 など）。\n"
    u"九九の誤り：ちがう数字の答え（7×8 を 54 など）。　その他の誤り：空の答えや、数でない答え。\n"
    u"時間：問題が出てから答えが判定されるまで。　今週は月曜から、今月は1日から今日まで。"_s;

// A file name without the characters file systems refuse.
QString fileNamePart(QString text) {
    for (const QChar c : u"\\/:*?\"<>|"_s)
        text.replace(c, u'_');
    return text;
}

} // namespace

FrmPicture::FrmPicture(Context context, QWidget* parent)
    : InsightScreen(context, screens::FrmPicture(), u"答えの分析"_s, parent) {
    buildControls();
    installScreenFilter();
}

void FrmPicture::buildControls() {
    const int levels = std::clamp<int>(m_ctx.state.LevelCount, 1, kMaxLevel);
    m_levelButtons = new QButtonGroup(this);
    const int buttonWidth = std::min(200, (ui::kScreenWidth - 40) / levels - 8);
    for (int level = 1; level <= levels; ++level) {
        QPushButton* button = ui::makeButton(
            this, u"levelButton(%1)"_s.arg(level), m_ctx.state.LevelNames[static_cast<std::size_t>(level)],
            QRect(20 + (level - 1) * (buttonWidth + 8), 72, buttonWidth, 38), ui::uiFont(14, true));
        button->setCheckable(true);
        button->setToolTip(u"キー %1 でも選べます"_s.arg(level));
        m_levelButtons->addButton(button, level);
    }
    connect(m_levelButtons, &QButtonGroup::idClicked, this, &FrmPicture::ShowLevel);

    static const char16_t* const kNames[] = {u"summaryTable", u"pointTable", u"factTable", u"timeTable"};
    for (std::size_t i = 0; i < m_tables.size(); ++i) {
        const TablePlace& place = kPlaces[i];
        m_tableTitles[i] = ui::makeLabel(
            this, QString::fromUtf16(kNames[i]) + u"Title"_s, QString(),
            QRect(place.area.left(), place.area.top() - 26, place.area.width(), 24), ui::uiFont(13, true));
        auto* table = new QTableWidget(this);
        table->setObjectName(QString::fromUtf16(kNames[i]));
        table->setGeometry(place.area);
        table->setFont(ui::uiFont(12));
        table->setFocusPolicy(Qt::NoFocus);
        table->setSelectionMode(QAbstractItemView::NoSelection);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        table->verticalHeader()->hide();
        table->verticalHeader()->setDefaultSectionSize(kRowHeight);
        table->horizontalHeader()->setFont(ui::uiFont(11, true));
        table->horizontalHeader()->setFixedHeight(kRowHeight);
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->horizontalHeader()->setHighlightSections(false);
        table->setAlternatingRowColors(true);
        m_tables[i] = table;
    }

    QLabel* explanation =
        ui::makeLabel(this, u"explanationLabel"_s, kExplanation, QRect(20, 636, 984, 120), ui::uiFont(11));
    explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    explanation->setWordWrap(true);
}

QString FrmPicture::studentText() const {
    const SharedState& state = m_ctx.state;
    if (!isStudentNumber(m_student))
        return {};
    const QString name = trimBlanks(state.RosterNames[static_cast<std::size_t>(m_student)]);
    const QString grade = fullWidthGradeLabel(gradeOf(state, m_student));
    return name + u"（"_s + (grade.isEmpty() ? QString() : grade + u"・"_s) + QString::number(m_student) +
           u"番）"_s;
}

void FrmPicture::activate() {
    if (m_readStudent == m_student)
        return; // back from another screen: as it was
    m_readStudent = m_student;
    readPicture();
}

void FrmPicture::readPicture() {
    QPointer<FrmPicture> guard(this);
    m_subtitle->setText(studentText());
    const auto today = static_cast<std::int32_t>(oleDate(m_ctx.platform.clock->today()));
    m_picture.emplace(m_student, today);
    m_answers.clear();
    const bool read =
        readAnswerLog(StudentFilter({m_student}), [this](const LoggedAnswer* answers, std::int64_t count) {
            // The store hands over this student's answers only.
            m_answers.insert(m_answers.end(), answers, answers + count);
            for (std::int64_t i = 0; i < count; ++i)
                m_picture->add(answers[i]);
        });
    if (!guard)
        return;
    if (!read) {
        // A log read only in part would mislead: the screen opens empty.
        m_picture.emplace(m_student, today);
        m_answers.clear();
    }
    // The first level the student has answered.
    int first = 1;
    for (const int level : m_picture->levels()) {
        if (level <= m_levelButtons->buttons().size()) {
            first = level;
            break;
        }
    }
    ShowLevel(first);
    m_backButton->setFocus();
}

void FrmPicture::fill(QTableWidget* table, const TextTable& texts) {
    table->clear();
    table->setColumnCount(static_cast<int>(texts.header.size()));
    table->setRowCount(static_cast<int>(texts.rows.size()));
    table->setHorizontalHeaderLabels(texts.header);
    for (int row = 0; row < table->rowCount(); ++row) {
        const QStringList& cells = texts.rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
            table->setItem(row, column, item);
        }
    }
}

void FrmPicture::ShowLevel(int level) {
    if (level < 1 || level > m_levelButtons->buttons().size())
        return;
    m_level = level;
    m_levelButtons->button(level)->setChecked(true);
    const PeriodFigures figures = m_picture ? periodFigures(*m_picture, level) : PeriodFigures{};
    const std::vector<TextTable> tables = pictureTables(figures);
    for (std::size_t i = 0; i < m_tables.size() && i < tables.size(); ++i) {
        m_tableTitles[i]->setText(tables[i].title);
        fill(m_tables[i], tables[i]);
        const int periods = m_tables[i]->columnCount() - 1;
        const int labelWidth = kPlaces[i].labelWidth;
        m_tables[i]->setColumnWidth(0, labelWidth);
        for (int column = 1; column <= periods; ++column)
            m_tables[i]->setColumnWidth(column, (kTableWidth - 2 - labelWidth) / std::max(1, periods));
    }
}

void FrmPicture::print() {
    PicturePaper paper;
    paper.family = ui::fixedPitchFamily();
    paper.heading = u"答えの分析　"_s + studentText();
    paper.dateText = dateText(m_ctx.platform.clock->today());
    for (int level = 1; level <= m_levelButtons->buttons().size(); ++level)
        paper.levels.push_back({m_ctx.state.LevelNames[static_cast<std::size_t>(level)],
                                m_picture ? periodFigures(*m_picture, level) : PeriodFigures{}});
    const PaperJob job{m_ctx.state.ProgramTitle, u"答えの分析"_s, PageOrientation::Portrait,
                       QDir::homePath()};
    printDocument(job, [&](DrawingSurface& surface) { drawStudentPicture(surface, paper); });
}

void FrmPicture::exportCsv() {
    const SharedState& state = m_ctx.state;
    AnswersCsvWriter writer(
        [&state](int student) { return trimBlanks(state.RosterNames[static_cast<std::size_t>(student)]); });
    QByteArray bytes = AnswersCsvWriter::header();
    for (const LoggedAnswer& answer : m_answers)
        writer.add(answer, bytes);
    const QString name = isStudentNumber(m_student)
                             ? trimBlanks(state.RosterNames[static_cast<std::size_t>(m_student)])
                             : QString();
    saveCsv(u"答え_"_s + fileNamePart(name.isEmpty() ? QString::number(m_student) : name) + u'_' +
                m_ctx.platform.clock->today().toString(u"yyyyMMdd"_s) + u".csv"_s,
            bytes, QString::number(m_answers.size()) + u"件の答えをCSVファイルに書き出しました。"_s);
}

bool FrmPicture::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    if (reading())
        return InsightScreen::screenKeyPress(receiver, event);
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        ShowLevel(m_level + (key == Qt::Key_Left ? -1 : 1));
        return true;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0) >= u'1' && text.at(0) <= u'9') {
        ShowLevel(text.at(0).unicode() - u'0');
        return true;
    }
    return InsightScreen::screenKeyPress(receiver, event);
}

void openStudentPicture(Context context, int student) {
    ScreenManager* screens = context.platform.screens;
    if (!screens)
        return;
    auto* picture = qobject_cast<FrmPicture*>(screens->load(screens::FrmPicture()));
    if (!picture)
        return;
    picture->setStudent(student);
    const bool wasCurrent = screens->current() == screens::FrmPicture() && picture->isVisible();
    screens->show(screens::FrmPicture());
    // Already in front, it is not activated by showing it again.
    if (wasCurrent)
        picture->activate();
}

} // namespace mirai
