#include "FrmData.h"

#include "AppControl.h"
#include "Clock.h"
#include "Configuration.h"
#include "EditStrip.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "Platform.h"
#include "RecordsCsv.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "StoreMessages.h"
#include "UiSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// The top band that holds the hint, or the edit strip over it, and the back button.
constexpr double kTopBandTwips = 1650;
constexpr double kStripWidthTwips = 13500;

const QColor kLightYellow = ui::fromBgr(0xC0FFFF);

} // namespace

FrmData::FrmData(Context context, QWidget* parent) : Screen(parent), m_ctx(context), m_model(m_roster) {
    setObjectName(u"FrmData"_s);
    setWindowTitle(m_ctx.state.ProgramTitle);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    buildControls();
    installScreenFilter();
}

void FrmData::buildControls() {
    ui::setBackground(this, QColor(236, 240, 247));
    m_label5 = ui::makeLabel(this, u"Label5"_s, u"ダブルクリックすると変更、消去できます"_s,
                             ui::twipRect(360, 420, 9600, 690), ui::uiFont(18, true));
    m_label5->setStyleSheet(u"color: #1c3f78;"_s);

    auto* backPanel = new QWidget(this);
    backPanel->setObjectName(u"Command4Panel"_s);
    backPanel->setGeometry(ui::twipRect(13650, 150, 1560, 1350));
    ui::setBackground(backPanel, QColor(90, 111, 150));
    m_command4 =
        ui::makeButton(backPanel, u"Command4"_s, u"戻る"_s,
                       QRect(8, 8, backPanel->width() - 16, backPanel->height() - 16), ui::uiFont(18, true));
    m_command4->setAutoDefault(true);
    connect(m_command4, &QPushButton::clicked, this, &FrmData::ReturnToResults);

    m_commandCsv = ui::makeButton(this, u"CommandCsv"_s, u"CSV出力"_s, ui::twipRect(10500, 330, 2700, 900),
                                  ui::uiFont(15, true));
    m_commandCsv->setAutoDefault(true);
    m_commandCsv->setToolTip(u"すべての記録を表計算ソフトで開けるファイルに書き出します"_s);
    connect(m_commandCsv, &QPushButton::clicked, this, &FrmData::ExportCsv);

    m_list1 = new QListView(this);
    m_list1->setObjectName(u"List1"_s);
    m_list1->setGeometry(ui::twipRect(0, kTopBandTwips, ui::kScreenWidth * ui::kTwipsPerPixel,
                                      ui::kScreenHeight * ui::kTwipsPerPixel - kTopBandTwips));
    // 18 pt as the screen was designed; a long site name at the end of a line scrolls sideways.
    m_list1->setFont(ui::fixedFont(18, true));
    m_list1->setUniformItemSizes(true); // a million lines: only the visible ones are made
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette palette = m_list1->palette();
    palette.setColor(QPalette::Base, kLightYellow);
    m_list1->setPalette(palette);
    m_list1->setModel(&m_model);
    m_list1->hide();
    connect(m_list1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { CloseEditStrip(); });
    connect(m_list1, &QListView::clicked, this, [this] { CloseEditStrip(); });
    connect(m_list1, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && m_list1->currentIndex() != index)
            m_list1->setCurrentIndex(index);
        OpenRecordForEdit();
    });

    m_picture3 = new EditStrip(this);
    m_picture3->setGeometry(ui::twipRect(0, 0, kStripWidthTwips, kTopBandTwips));
    m_picture3->hide();
    connect(m_picture3->combo1, &QComboBox::activated, this, [this] { StudentChosen(); });
    connect(m_picture3->vScroll1, &QScrollBar::valueChanged, this, &FrmData::SecondsScrolled);
    connect(m_picture3->command3, &QPushButton::clicked, this, &FrmData::DeleteRecord);
    connect(m_picture3->command2, &QPushButton::clicked, this, &FrmData::SaveRecordChanges);
    // Cancel closes the strip without writing, as a teacher expects of it.
    connect(m_picture3->command6, &QPushButton::clicked, this, &FrmData::CloseEditStrip);

    m_picture1 = new QWidget(this);
    m_picture1->setObjectName(u"Picture1"_s);
    ui::setBackground(m_picture1, QColor(0, 128, 0));
    m_picture1->hide();
}

void FrmData::activate() {
    if (m_opened)
        return;
    m_opened = true;
    m_picture1->setGeometry(ui::twipRect(0, 0, 15360, 11520));
    m_list1->show();
    QPointer<FrmData> guard(this);
    if (!BuildRecordList() || !guard)
        return;
    // The newest runs are the ones a teacher corrects: the list opens at its end, ready for keys.
    selectRow(m_model.rowCount() - 1);
    m_list1->setFocus();
    // A delete that a station began and could not finish was completed when the file was read.
    if (const std::optional<std::int64_t> completed = takeCompletedDelete(m_ctx))
        m_ctx.platform.messages->show(completedDeleteMessage(*completed), m_ctx.state.ProgramTitle,
                                      MessageButtons::Ok, MessageIcon::Information);
}

bool FrmData::editing() const {
    return !m_picture3->isHidden();
}

void FrmData::LoadRosterChoices() {
    QComboBox* combo = m_picture3->combo1;
    const QSignalBlocker blocker(combo);
    combo->clear();
    const int schoolYear = SchoolYearOf(m_ctx.platform.clock->today(), m_ctx.state.SchoolYearStartMonth);
    combo->addItems(m_roster.LoadRosterChoices(m_ctx.state.CommonFolder + QString::fromUtf16(files::kRoster),
                                               schoolYear));
}

bool FrmData::BuildRecordList() {
    QPointer<FrmData> guard(this);
    LoadRosterChoices();
    RecordLines lines(SiteIdentity::of(m_ctx.state));
    // Room for them all at once: a million lines are not moved about while they grow.
    lines.reserve(QFileInfo(resultFilePath(m_ctx.state)).size() / kRecordSize);
    const bool read = scanResultFile(
        m_ctx, [&lines](const char* records, std::int64_t count) { lines.add(records, count); });
    if (!guard || !read)
        return false;
    m_model.setLines(std::move(lines));
    return true;
}

void FrmData::selectRow(int row) {
    if (row < 0 || row >= m_model.rowCount()) {
        m_list1->clearSelection();
        m_list1->setCurrentIndex(QModelIndex());
    } else {
        const QModelIndex index = m_model.index(row);
        m_list1->setCurrentIndex(index);
        m_list1->scrollTo(index);
    }
    CloseEditStrip();
}

void FrmData::selectRecord(std::int64_t number) {
    const int row = m_model.rowAtOrAfter(number);
    selectRow(row >= 0 ? row : m_model.rowCount() - 1);
}

void FrmData::OpenRecordForEdit() {
    const QModelIndex current = m_list1->currentIndex();
    if (m_busy || !current.isValid())
        return;
    EditStrip& strip = *m_picture3;
    m_selectedRecordNumber = m_model.recordNumber(current.row());
    strip.label1->setText(QString::number(m_selectedRecordNumber));
    strip.command3->setEnabled(true);
    strip.command2->setEnabled(true);

    QPointer<FrmData> guard(this);
    const std::optional<QByteArray> bytes = readResultRecord(m_ctx, m_selectedRecordNumber);
    if (!guard || m_ctx.platform.app->endRequested())
        return;
    if (!bytes) {
        // The file changed under the list: show it as it is now.
        if (BuildRecordList() && guard)
            selectRecord(m_selectedRecordNumber);
        return;
    }
    m_recordBuffer = *bytes;
    const ListedRun record = ListedRun::of(m_recordBuffer.constData());
    strip.label2[1]->setText(u"ﾚﾍﾞﾙ"_s + QString::number(record.level));
    strip.label2[2]->setText(recordDateText(record));
    strip.label2[4]->setText(trimBlanks(m_roster.grade(record.student)));
    strip.text1->setText(QString::number(record.seconds));
    {
        // A time the bar cannot show (a time-out is 99999) leaves it at its end and the text as stored.
        const QSignalBlocker blocker(strip.vScroll1);
        strip.vScroll1->setValue(
            std::clamp<std::int32_t>(record.seconds, strip.vScroll1->minimum(), strip.vScroll1->maximum()));
    }
    strip.combo1->setEditText(studentChoiceText(record.student, m_roster.name(record.student)));
    const std::initializer_list<QWidget*> parts{strip.label1,    strip.label2[1], strip.label2[2],
                                                strip.label2[4], strip.combo1,    strip.text1,
                                                strip.vScroll1,  strip.label2[0]};
    for (QWidget* part : parts)
        part->show();
    strip.raise();
    strip.show();
    strip.text1->setFocus();
    strip.text1->selectAll();
}

void FrmData::CloseEditStrip() {
    const bool hadFocus = m_picture3->isAncestorOf(focusWidget());
    m_picture3->hide();
    if (hadFocus)
        m_list1->setFocus();
}

void FrmData::StudentChosen() {
    const std::optional<double> number = studentNumberOfChoice(m_picture3->combo1->currentText());
    const int student = number ? static_cast<int>(toWhole(*number, INT32_MIN, INT32_MAX)) : -1;
    m_picture3->label2[4]->setText(trimBlanks(m_roster.grade(student)));
}

void FrmData::SecondsScrolled(int value) {
    m_picture3->text1->setText(QString::number(value));
}

bool FrmData::report(const MaintenanceResult& result) {
    if (result.kind == MaintenanceResult::Kind::Ending || m_ctx.platform.app->endRequested())
        return false;
    if (!result.message.isEmpty())
        m_ctx.platform.messages->show(result.message, u"注意"_s, MessageButtons::Ok, MessageIcon::Warning);
    return !m_ctx.platform.app->endRequested();
}

void FrmData::SaveRecordChanges() {
    if (m_busy || !editing())
        return;
    const auto changes = parseRecordChanges(m_picture3->combo1->currentText(), m_picture3->text1->text());
    if (const QString* why = std::get_if<QString>(&changes)) {
        m_ctx.platform.messages->show(*why, u"注意"_s, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    const RecordChanges& wanted = std::get<RecordChanges>(changes);
    QPointer<FrmData> guard(this);
    m_busy = true;
    const MaintenanceResult result =
        saveRecordChanges(m_ctx, m_selectedRecordNumber, m_recordBuffer, wanted.student, wanted.seconds);
    if (!guard)
        return;
    m_busy = false;
    // After a failed write nothing changed: the strip keeps what the teacher typed.
    if (!report(result) || !guard || result.kind == MaintenanceResult::Kind::Failed)
        return;
    if (BuildRecordList() && guard)
        selectRecord(m_selectedRecordNumber);
}

void FrmData::DeleteRecord() {
    if (m_busy || !editing())
        return;
    const Platform& platform = m_ctx.platform;
    QPointer<FrmData> guard(this);
    if (platform.messages->show(u"本当に消去しますか"_s, u"注意"_s, MessageButtons::OkCancel,
                                MessageIcon::Question) != MessageAnswer::Ok ||
        !guard)
        return;
    m_busy = true;
    const MaintenanceResult result = deleteResultRecord(m_ctx, m_selectedRecordNumber, m_recordBuffer);
    if (!guard)
        return;
    m_busy = false;
    if (!report(result) || !guard)
        return;
    // The record that took the deleted one's place, or the new last one.
    if (BuildRecordList() && guard)
        selectRecord(m_selectedRecordNumber);
}

void FrmData::ReturnToResults() {
    if (m_busy)
        return;
    m_picture1->raise();
    m_picture1->show();
    ScreenManager* screens = m_ctx.platform.screens;
    if (!screens)
        return;
    QPointer<FrmData> guard(this);
    screens->show(screens::seisekitime1());
    if (guard)
        screens->close(screens::FrmData());
}

void FrmData::ExportCsv() {
    if (m_busy)
        return;
    const Platform& platform = m_ctx.platform;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString proposed =
        folder + u"/成績一覧_"_s + platform.clock->today().toString(u"yyyyMMdd"_s) + u".csv"_s;
    QPointer<FrmData> guard(this);
    const QString path = platform.files->saveFileName(u"CSVファイルに書き出す"_s, proposed, u"CSV (*.csv)"_s);
    if (!guard || path.isEmpty())
        return;
    m_busy = true;
    const CsvExport result = exportRecordsCsv(m_ctx, path, m_roster);
    if (!guard)
        return;
    m_busy = false;
    if (platform.app->endRequested())
        return;
    if (result.written) {
        platform.messages->show(QString::number(result.rows) +
                                    u"件の記録をCSVファイルに書き出しました。\r\n"_s + path,
                                m_ctx.state.ProgramTitle, MessageButtons::Ok, MessageIcon::Information);
    } else if (!result.error.isEmpty()) {
        platform.messages->show(
            u"CSVファイルを書き出せませんでした。書きかけのファイルは残っていません。\r\n"_s + path +
                u"\r\n"_s + result.error,
            u"注意"_s, MessageButtons::Ok, MessageIcon::Warning);
    }
}

bool FrmData::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    EditStrip& strip = *m_picture3;
    if (key == Qt::Key_Escape && editing()) {
        CloseEditStrip();
        return true;
    }
    if (!enter)
        return false;
    if (receiver == m_list1 || receiver == m_list1->viewport()) {
        OpenRecordForEdit();
        return true;
    }
    if (receiver == strip.combo1 || receiver == strip.combo1->lineEdit()) {
        StudentChosen();
        strip.text1->setFocus();
        strip.text1->selectAll();
        return true;
    }
    if (receiver == strip.text1) {
        // Enter moves on to the save button; a second Enter saves.
        strip.command2->setFocus();
        return true;
    }
    return false;
}

} // namespace mirai
