#include "FrmRoster.h"

#include "AppControl.h"
#include "Clock.h"
#include "Configuration.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "Platform.h"
#include "Roster.h"
#include "RosterNumbers.h"
#include "RosterSave.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "TextFile.h"
#include "TextRules.h"
#include "UiSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

const QColor kBackground(236, 240, 247);
const QColor kBand(90, 111, 150);
const QString kTitle = u"名簿"_s;
constexpr int kFirstGrade = -2; // 幼1, the first grade the grade choice offers
constexpr int kLastGrade = 12;  // 高3

QString documentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

} // namespace

FrmRoster::FrmRoster(Context context, QWidget* parent) : Screen(parent), m_ctx(context), m_model(m_roster) {
    setObjectName(screens::FrmRoster());
    setWindowTitle(m_ctx.state.ProgramTitle);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    buildControls();
    installScreenFilter();
}

void FrmRoster::buildControls() {
    ui::setBackground(this, kBackground);
    auto* band = new QWidget(this);
    band->setObjectName(u"titleBand"_s);
    band->setGeometry(0, 0, ui::kScreenWidth, 64);
    ui::setBackground(band, kBand);
    QLabel* title =
        ui::makeLabel(band, u"titleLabel"_s, kTitle, QRect(20, 10, 120, 44), ui::uiFont(22, true));
    m_count = ui::makeLabel(band, u"countLabel"_s, QString(), QRect(150, 10, 710, 44), ui::uiFont(12));
    for (QLabel* label : {title, m_count})
        ui::setTextColour(label, Qt::white);
    QPushButton* back =
        ui::makeButton(band, u"backButton"_s, u"戻る"_s, QRect(884, 10, 120, 44), ui::uiFont(16, true));
    connect(back, &QPushButton::clicked, this, &FrmRoster::ReturnToResults);

    m_table = new QTableView(this);
    m_table->setObjectName(u"rosterTable"_s);
    m_table->setGeometry(20, 76, 620, 672);
    m_table->setFont(ui::uiFont(13));
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(28);
    m_table->horizontalHeader()->setFont(ui::uiFont(12, true));
    const int widths[] = {70, 250, 90, 64, 56, 56};
    for (int column = 0; column < RosterTableModel::ColumnCount; ++column)
        m_table->setColumnWidth(column, widths[column]);
    m_table->horizontalHeader()->setStretchLastSection(true);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { rowChosen(); });

    const int left = 656;
    const int width = 348;
    ui::makeLabel(this, QString(), u"名前"_s, QRect(left, 78, width, 28), ui::uiFont(12, true));
    m_name = new QLineEdit(this);
    m_name->setObjectName(u"nameEdit"_s);
    m_name->setGeometry(left, 106, width, 34);
    m_name->setFont(ui::uiFont(14));
    ui::makeLabel(this, QString(), u"生まれ年（西暦）"_s, QRect(left, 148, width, 28), ui::uiFont(12, true));
    m_birthYear = new QLineEdit(this);
    m_birthYear->setObjectName(u"birthYearEdit"_s);
    m_birthYear->setGeometry(left, 176, 100, 34);
    m_birthYear->setFont(ui::uiFont(14));
    m_birthYear->setMaxLength(4);
    connect(m_birthYear, &QLineEdit::textChanged, this, &FrmRoster::showGradeOfYear);
    m_grade = new QComboBox(this);
    m_grade->setObjectName(u"gradeCombo"_s);
    m_grade->setGeometry(left + 108, 176, 130, 34);
    m_grade->setFont(ui::uiFont(12));
    m_grade->setToolTip(u"学年を選ぶと、今の年度の生まれ年が入ります"_s);
    m_grade->addItem(u"学年から…"_s);
    for (int grade = kFirstGrade; grade <= kLastGrade; ++grade)
        m_grade->addItem(halfWidthGradeLabel(grade), grade);
    connect(m_grade, &QComboBox::activated, this, [this](int index) {
        if (index > 0)
            m_birthYear->setText(QString::number(schoolYear() - m_grade->itemData(index).toInt() - 6));
        m_grade->setCurrentIndex(0);
    });
    m_gradeOfYear = ui::makeLabel(this, u"gradeOfYearLabel"_s, QString(), QRect(left + 246, 176, 102, 34),
                                  ui::uiFont(14, true));

    QPushButton* add = ui::makeButton(this, u"addButton"_s, u"新しく追加"_s, QRect(left, 222, 170, 44),
                                      ui::uiFont(14, true));
    add->setToolTip(u"次の空いている番号で、名簿の終わりに加えます"_s);
    m_change = ui::makeButton(this, u"changeButton"_s, u"変更する"_s, QRect(left + 178, 222, 170, 44),
                              ui::uiFont(14, true));
    m_change->setToolTip(u"選んだ人の名前と生まれ年を変えます"_s);
    m_listed = ui::makeButton(this, u"listedButton"_s, u"一覧に出さない"_s, QRect(left, 276, width, 40),
                              ui::uiFont(13));
    m_teacher = ui::makeButton(this, u"teacherButton"_s, u"先生（★）にする"_s, QRect(left, 324, width, 40),
                               ui::uiFont(13));
    QPushButton* import = ui::makeButton(this, u"importButton"_s, u"CSVから取り込む…"_s,
                                         QRect(left, 384, width, 40), ui::uiFont(13));
    QPushButton* exportButton = ui::makeButton(this, u"exportButton"_s, u"CSVに書き出す…"_s,
                                               QRect(left, 432, width, 40), ui::uiFont(13));
    m_save =
        ui::makeButton(this, u"saveButton"_s, u"保存"_s, QRect(left, 496, width, 56), ui::uiFont(18, true));
    m_status =
        ui::makeLabel(this, u"statusLabel"_s, QString(), QRect(left, 558, width, 52), ui::uiFont(12, true));
    m_status->setWordWrap(true);
    QLabel* hint = ui::makeLabel(this, u"hintLabel"_s,
                                 u"・番号は自動で付きます。成績のある\n"
                                 u"　番号は、ほかの人には使いません。\n"
                                 u"・名簿から人は消せません。やめた人は\n"
                                 u"　「一覧に出さない」にします。\n"
                                 u"・変更は「保存」を押すと名簿に書きます。"_s,
                                 QRect(left, 616, width, 132), ui::uiFont(11));
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QPushButton* button : {add, m_change, m_listed, m_teacher, import, exportButton, m_save, back})
        button->setAutoDefault(true);
    connect(add, &QPushButton::clicked, this, &FrmRoster::AddStudent);
    connect(m_change, &QPushButton::clicked, this, &FrmRoster::ChangeStudent);
    connect(m_listed, &QPushButton::clicked, this, &FrmRoster::ToggleListed);
    connect(m_teacher, &QPushButton::clicked, this, &FrmRoster::ToggleTeacher);
    connect(import, &QPushButton::clicked, this, &FrmRoster::ImportCsv);
    connect(exportButton, &QPushButton::clicked, this, &FrmRoster::ExportCsv);
    connect(m_save, &QPushButton::clicked, this, [this] { Save(); });

    m_importPanel = buildImportPanel();
}

QWidget* FrmRoster::buildImportPanel() {
    // Over the whole screen: while it is shown, nothing else can change the numbers it gives out.
    auto* panel = new QWidget(this);
    panel->setObjectName(u"importPanel"_s);
    panel->setGeometry(0, 0, ui::kScreenWidth, ui::kScreenHeight);
    ui::setBackground(panel, kBackground);
    m_importTitle =
        ui::makeLabel(panel, u"importTitle"_s, QString(), QRect(20, 12, 984, 40), ui::uiFont(15, true));
    m_importAddTitle =
        ui::makeLabel(panel, u"importAddTitle"_s, QString(), QRect(20, 58, 984, 28), ui::uiFont(13, true));
    m_importAdded = new QListWidget(panel);
    m_importAdded->setObjectName(u"importAddedList"_s);
    m_importAdded->setGeometry(20, 88, 984, 330);
    m_importRefusedTitle = ui::makeLabel(panel, u"importRefusedTitle"_s, QString(), QRect(20, 428, 984, 28),
                                         ui::uiFont(13, true));
    m_importRefused = new QListWidget(panel);
    m_importRefused->setObjectName(u"importRefusedList"_s);
    m_importRefused->setGeometry(20, 458, 984, 222);
    for (QListWidget* list : {m_importAdded, m_importRefused}) {
        list->setFont(ui::uiFont(12));
        list->setWordWrap(true);
    }
    QLabel* note = ui::makeLabel(panel, QString(), u"追加した人は、「保存」を押したときに名簿に書きます。"_s,
                                 QRect(20, 696, 600, 52), ui::uiFont(12));
    note->setWordWrap(true);
    m_importConfirm = ui::makeButton(panel, u"importConfirmButton"_s, u"追加する"_s, QRect(644, 696, 170, 52),
                                     ui::uiFont(15, true));
    QPushButton* cancel = ui::makeButton(panel, u"importCancelButton"_s, u"やめる"_s,
                                         QRect(834, 696, 170, 52), ui::uiFont(15, true));
    connect(m_importConfirm, &QPushButton::clicked, this, &FrmRoster::ConfirmImport);
    connect(cancel, &QPushButton::clicked, this, &FrmRoster::CancelImport);
    panel->hide();
    return panel;
}

QString FrmRoster::rosterPath() const {
    return m_ctx.state.CommonFolder + QString::fromUtf16(files::kRoster);
}

int FrmRoster::schoolYear() const {
    return SchoolYearOf(m_ctx.platform.clock->today(), m_ctx.state.SchoolYearStartMonth);
}

bool FrmRoster::keepMark2() const {
    return m_ctx.state.RosterKeepMark2 == 1.0;
}

int FrmRoster::currentRow() const {
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void FrmRoster::warn(const QString& text) {
    m_ctx.platform.messages->show(text, kTitle, MessageButtons::Ok, MessageIcon::Warning);
}

void FrmRoster::activate() {
    if (m_opened)
        return;
    m_opened = true;
    QPointer<FrmRoster> guard(this);
    if (!load() || !guard)
        return;
    // Nothing chosen: the fields are ready for a new student.
    refresh(-1);
    m_name->setFocus();
}

bool FrmRoster::load() {
    QString error;
    std::optional<QByteArray> bytes = readRosterBytes(rosterPath(), &error);
    QPointer<FrmRoster> guard(this);
    if (!error.isEmpty()) {
        warn(u"名簿が読めません。\r\n"_s + rosterPath() + u"\r\n"_s + error);
        if (!guard)
            return false;
    }
    m_roster = RosterDocument(std::move(bytes));
    // Runs refer to the number: a number with runs is never given out again, even when the roster no
    // longer has it.
    m_withRuns = numbersWithRuns(m_ctx);
    if (!guard || m_ctx.platform.app->endRequested())
        return false;
    if (!m_roster.rewritable()) {
        warn(u"名簿のファイルに、シフトJISとして読めない文字があります。"
             u"書き直すとその行が変わってしまうため、この画面では保存できません。\r\n"_s +
             rosterPath());
    }
    return guard;
}

void FrmRoster::refresh(int selectRow) {
    m_model.refresh(schoolYear(), keepMark2());
    int listed = 0;
    for (int row = 0; row < m_roster.rowCount(); ++row)
        listed += isListedFlag(m_roster.row(row).listFlag, keepMark2()) ? 1 : 0;
    QString count = u"全部で "_s + QString::number(m_roster.rowCount()) + u" 人（名前の一覧に出る人 "_s +
                    QString::number(listed) + u" 人）"_s;
    if (m_roster.unreadableCount() > 0)
        count += u"　読めない行 "_s + QString::number(m_roster.unreadableCount()) + u"（そのまま残します）"_s;
    m_count->setText(count);
    if (selectRow >= 0 && selectRow < m_roster.rowCount()) {
        const QModelIndex index = m_model.index(selectRow, 0);
        m_table->setCurrentIndex(index);
        m_table->scrollTo(index);
    }
    rowChosen();
    m_save->setEnabled(m_roster.modified());
    if (m_roster.modified())
        m_status->setText(u"まだ保存していません。"_s);
    ui::setTextColour(m_status, m_roster.modified() ? QColor(176, 32, 32) : QColor(32, 96, 32));
}

void FrmRoster::rowChosen() {
    const int row = currentRow();
    for (QPushButton* button : {m_change, m_listed, m_teacher})
        button->setEnabled(row >= 0);
    if (row < 0)
        return;
    const RosterRow& entry = m_roster.row(row);
    m_name->setText(entry.name);
    m_birthYear->setText(QString::number(entry.birthYear));
    m_listed->setText(isListedFlag(entry.listFlag, keepMark2()) ? u"一覧に出さない"_s : u"一覧に出す"_s);
    m_teacher->setText(entry.name.contains(u'★') ? u"★をはずす"_s : u"先生（★）にする"_s);
}

void FrmRoster::showGradeOfYear() {
    bool ok = false;
    const int year = m_birthYear->text().normalized(QString::NormalizationForm_KC).toInt(&ok);
    m_gradeOfYear->setText(ok ? u"→ "_s + halfWidthGradeLabel(gradeNumber(schoolYear(), year)) : QString());
}

std::optional<RosterRow> FrmRoster::typedEntry() {
    const QString name = trimBlanks(m_name->text());
    if (const QString why = nameRefusal(name); !why.isEmpty()) {
        warn(why);
        m_name->setFocus();
        return std::nullopt;
    }
    const std::optional<int> year = birthYearOfText(m_birthYear->text(), schoolYear());
    if (!year) {
        warn(u"生まれ年を西暦4けたで入れてください（例: 2016）。学年から選ぶこともできます。"_s);
        m_birthYear->setFocus();
        return std::nullopt;
    }
    if (const QString warning = nameWarning(name); !warning.isEmpty())
        m_ctx.platform.messages->show(warning, kTitle, MessageButtons::Ok, MessageIcon::Information);
    return RosterRow{0, *year, name, kListedFlag};
}

bool FrmRoster::runsKnown() {
    if (!m_withRuns)
        warn(u"成績のファイルが読めないため、新しい番号を決められません（成績のある番号は使えないため）。"_s);
    return m_withRuns.has_value();
}

void FrmRoster::AddStudent() {
    QPointer<FrmRoster> guard(this);
    if (!runsKnown())
        return;
    std::optional<RosterRow> entry = typedEntry();
    if (!guard || !entry)
        return;
    // Enter on a chosen entry's fields would add that person a second time.
    for (int row = 0; row < m_roster.rowCount(); ++row) {
        if (trimBlanks(m_roster.row(row).name) != entry->name)
            continue;
        if (m_ctx.platform.messages->show(
                u"同じ名前の人が、もう名簿にいます（"_s + QString::number(m_roster.row(row).number) +
                    u"番）。\r\nもう一人追加しますか？"_s,
                kTitle, MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes ||
            !guard)
            return;
        break;
    }
    const std::optional<int> number = nextFreeNumber(m_roster.numbersInUse(), *m_withRuns);
    if (!number) {
        warn(u"番号が足りません。5000番まで使っています。"_s);
        return;
    }
    entry->number = *number;
    refresh(m_roster.append(*entry));
    m_status->setText(QString::number(*number) + u"番 "_s + entry->name +
                      u" を追加しました。まだ保存していません。"_s);
    // Ready for the next student of the same year.
    m_name->clear();
    m_name->setFocus();
}

void FrmRoster::ChangeStudent() {
    const int row = currentRow();
    if (row < 0)
        return;
    QPointer<FrmRoster> guard(this);
    const std::optional<RosterRow> entry = typedEntry();
    if (!guard || !entry)
        return;
    m_roster.setName(row, entry->name);
    m_roster.setBirthYear(row, entry->birthYear);
    refresh(row);
}

void FrmRoster::ToggleListed() {
    const int row = currentRow();
    if (row < 0)
        return;
    const bool listed = isListedFlag(m_roster.row(row).listFlag, keepMark2());
    m_roster.setListFlag(row, listed ? kHiddenFlag : kListedFlag);
    refresh(row);
}

void FrmRoster::ToggleTeacher() {
    const int row = currentRow();
    if (row < 0)
        return;
    QString name = m_roster.row(row).name;
    if (name.contains(u'★')) {
        name.remove(u'★');
    } else {
        name.prepend(u'★');
        if (const QString warning = nameWarning(name); !warning.isEmpty()) {
            QPointer<FrmRoster> guard(this);
            m_ctx.platform.messages->show(warning, kTitle, MessageButtons::Ok, MessageIcon::Information);
            if (!guard)
                return;
        }
    }
    m_roster.setName(row, name);
    refresh(row);
}

void FrmRoster::ImportCsv() {
    const Platform& platform = m_ctx.platform;
    QPointer<FrmRoster> guard(this);
    if (!runsKnown())
        return;
    const QString path = platform.files->openFileName(u"取り込むCSVファイルを選ぶ"_s, documentsFolder(),
                                                      u"CSV (*.csv *.txt);;すべてのファイル (*)"_s);
    if (!guard || path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(u"CSVファイルが読めません。\r\n"_s + path + u"\r\n"_s + file.errorString());
        return;
    }
    QStringList names;
    for (int row = 0; row < m_roster.rowCount(); ++row)
        names.append(m_roster.row(row).name);
    m_import = readRosterCsv(file.readAll(), schoolYear(), names);
    if (!m_import.error.isEmpty()) {
        warn(m_import.error + u"\r\n"_s + path);
        return;
    }
    assignNumbers(m_import, m_roster.numbersInUse(), *m_withRuns);

    m_importTitle->setText(u"CSVの取り込み: "_s + QFileInfo(path).fileName() + u"（"_s + m_import.encoding +
                           u"、"_s + (m_import.byGrade ? u"学年"_s : u"生まれ年"_s) + u"の列から）"_s);
    m_importAddTitle->setText(u"追加する人: "_s + QString::number(m_import.students.size()) + u" 人"_s);
    m_importAdded->clear();
    const int year = schoolYear();
    for (const ImportedStudent& student : m_import.students) {
        QString line = rightAligned(QString::number(student.number), 5) + u"番　"_s + student.name + u"　"_s +
                       QString::number(student.birthYear) + u"年生まれ（"_s +
                       halfWidthGradeLabel(gradeNumber(year, student.birthYear)) + u"）"_s;
        for (const QString& warning : student.warnings)
            line += u"\n　　注意: "_s + warning;
        m_importAdded->addItem(line);
    }
    m_importRefusedTitle->setText(u"取り込まない行: "_s + QString::number(m_import.refused.size()) +
                                  u" 行"_s);
    m_importRefused->clear();
    for (const RefusedLine& refused : m_import.refused) {
        m_importRefused->addItem(QString::number(refused.line) + u"行目: "_s + refused.text + u"\n　　→ "_s +
                                 refused.reason);
    }
    m_importConfirm->setEnabled(!m_import.students.empty());
    m_importPanel->raise();
    m_importPanel->show();
}

void FrmRoster::ConfirmImport() {
    if (m_importPanel->isHidden() || m_import.students.empty())
        return;
    int last = -1;
    for (const ImportedStudent& student : m_import.students)
        last = m_roster.append(RosterRow{student.number, student.birthYear, student.name, kListedFlag});
    const auto added = m_import.students.size();
    CancelImport();
    refresh(last);
    m_status->setText(QString::number(added) + u" 人を追加しました。まだ保存していません。"_s);
}

void FrmRoster::CancelImport() {
    m_import = RosterImport{};
    m_importPanel->hide();
    m_table->setFocus();
}

void FrmRoster::ExportCsv() {
    const Platform& platform = m_ctx.platform;
    const QString proposed =
        documentsFolder() + u"/名簿_"_s + platform.clock->today().toString(u"yyyyMMdd"_s) + u".csv"_s;
    QPointer<FrmRoster> guard(this);
    const QString path =
        platform.files->saveFileName(u"名簿をCSVファイルに書き出す"_s, proposed, u"CSV (*.csv)"_s);
    if (!guard || path.isEmpty())
        return;
    if (const QString error = writeWholeFile(path, rosterCsv(m_roster, schoolYear(), keepMark2()));
        !error.isEmpty()) {
        warn(u"CSVファイルを書き出せませんでした。\r\n"_s + path + u"\r\n"_s + error);
        return;
    }
    platform.messages->show(QString::number(m_roster.rowCount()) +
                                u" 人の名簿をCSVファイルに書き出しました。\r\n"_s + path,
                            kTitle, MessageButtons::Ok, MessageIcon::Information);
}

bool FrmRoster::Save() {
    if (!m_roster.modified())
        return true;
    if (!m_roster.rewritable()) {
        warn(u"名簿のファイルに、シフトJISとして読めない文字があるため、この画面では保存できません。\r\n"_s +
             rosterPath());
        return false;
    }
    const Platform& platform = m_ctx.platform;
    const QByteArray bytes = m_roster.bytes();
    const int row = currentRow();
    QPointer<FrmRoster> guard(this);
    const RosterSave saved = saveRosterFile(platform, rosterPath(), m_roster.openedBytes(), bytes);
    if (!guard)
        return false;
    switch (saved.kind) {
    case RosterSave::Kind::Saved:
        m_roster = RosterDocument(bytes);
        refresh(row);
        m_status->setText(u"保存しました。"_s);
        return true;
    case RosterSave::Kind::Changed:
        if (platform.messages->show(u"名簿は、この画面を開いた後に、ほかの端末で変更されました。\r\n"
                                    u"その変更を消さないように、保存をやめました。\r\n\r\n"
                                    u"名簿を読み直しますか？（この画面でした変更は消えます。読み直してから、"
                                    u"もう一度してください。）"_s,
                                    kTitle, MessageButtons::YesNo,
                                    MessageIcon::Warning) == MessageAnswer::Yes &&
            guard && load() && guard)
            refresh(0);
        return false;
    case RosterSave::Kind::Failed:
        warn(u"名簿を保存できませんでした。名簿は元のままです。\r\n"_s + rosterPath() + u"\r\n"_s +
             saved.error);
        return false;
    case RosterSave::Kind::Ending:
        return false;
    }
    return false;
}

void FrmRoster::ReturnToResults() {
    const Platform& platform = m_ctx.platform;
    QPointer<FrmRoster> guard(this);
    if (m_roster.modified() &&
        platform.messages->show(u"名簿の変更を、まだ保存していません。\r\n保存しないで戻りますか？"_s, kTitle,
                                MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes)
        return;
    if (!guard || !platform.screens)
        return;
    platform.screens->show(screens::seisekitime1());
    if (guard)
        platform.screens->close(screens::FrmRoster());
}

bool FrmRoster::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape && !m_importPanel->isHidden()) {
        CancelImport();
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Enter moves from the name to the birth year, and adds from there.
    if (receiver == m_name) {
        m_birthYear->setFocus();
        m_birthYear->selectAll();
        return true;
    }
    if (receiver == m_birthYear) {
        AddStudent();
        return true;
    }
    if (auto* button = qobject_cast<QPushButton*>(receiver)) {
        button->click();
        return true;
    }
    return false;
}

} // namespace mirai
