#include "FrmSetup.h"

#include "Clock.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "TextRules.h"
#include "UiSupport.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 600;
const QString kTitle = u"みらいドリルの設定"_s;

QLineEdit* makeEdit(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setFont(ui::uiFont(12));
    return edit;
}

// A field's title at the left of its row.
void rowTitle(QWidget* parent, const QString& text, int top) {
    ui::makeLabel(parent, QString(), text, QRect(20, top, 130, 32), ui::uiFont(12));
}

} // namespace

FrmSetup::FrmSetup(Context context, SetupPlaces places, QWidget* parent)
    : Screen(parent), m_ctx(context), m_places(std::move(places)) {
    setWindowTitle(kTitle);
    setFixedSize(kWidth, kHeight);
    buildControls();
    installScreenFilter();
}

void FrmSetup::buildControls() {
    ui::setBackground(this, QColor(246, 244, 236));
    ui::makeLabel(this, u"titleLabel"_s, u"みらいドリル　はじめの設定"_s, QRect(20, 16, 720, 40),
                  ui::uiFont(20, true));
    QLabel* intro =
        ui::makeLabel(this, u"introLabel"_s,
                      u"この端末には、まだ共有フォルダ（名簿や成績を置く場所）が設定されていません。\n"
                      u"はじめの1台では新しく作り、2台目からは作ってあるフォルダを選びます。"_s,
                      QRect(20, 60, 720, 48), ui::uiFont(12));
    intro->setWordWrap(true);

    m_newOption = new QRadioButton(u"新しい共有フォルダを作る（はじめの1台）"_s, this);
    m_newOption->setObjectName(u"newOption"_s);
    m_newOption->setGeometry(20, 114, 720, 30);
    m_existingOption = new QRadioButton(u"作ってある共有フォルダを使う（2台目からの端末）"_s, this);
    m_existingOption->setObjectName(u"existingOption"_s);
    m_existingOption->setGeometry(20, 146, 720, 30);
    for (QRadioButton* option : {m_newOption, m_existingOption})
        option->setFont(ui::uiFont(13, true));
    auto* choice = new QButtonGroup(this);
    choice->addButton(m_newOption);
    choice->addButton(m_existingOption);
    m_newOption->setChecked(true);
    connect(m_newOption, &QRadioButton::toggled, this, &FrmSetup::showChoice);

    rowTitle(this, u"共有フォルダ"_s, 192);
    m_folder = makeEdit(this, u"folderEdit"_s, QRect(150, 192, 480, 32));
    m_folder->setText(QDir::toNativeSeparators(QDir::homePath() + u"/みらいドリル共通"_s));
    QPushButton* browse =
        ui::makeButton(this, u"browseButton"_s, u"参照…"_s, QRect(640, 190, 100, 36), ui::uiFont(12));
    connect(browse, &QPushButton::clicked, this, &FrmSetup::Browse);

    m_newPanel = new QGroupBox(u"新しい共有フォルダに入れるもの"_s, this);
    m_newPanel->setObjectName(u"newPanel"_s);
    m_newPanel->setGeometry(20, 240, 720, 282);
    m_newPanel->setFont(ui::uiFont(12, true));
    QWidget* panel = m_newPanel;
    rowTitle(panel, u"教室コード"_s, 34);
    m_siteCode = makeEdit(panel, u"siteCodeEdit"_s, QRect(150, 34, 110, 32));
    m_siteCode->setMaxLength(5);
    ui::makeLabel(panel, QString(), u"1〜5けたの数字（例: 123）"_s, QRect(272, 34, 430, 32), ui::uiFont(11));
    rowTitle(panel, u"教室名"_s, 76);
    m_siteName = makeEdit(panel, u"siteNameEdit"_s, QRect(150, 76, 550, 32));
    rowTitle(panel, u"年度の始まり"_s, 118);
    m_startMonth = new QComboBox(panel);
    m_startMonth->setObjectName(u"startMonthCombo"_s);
    m_startMonth->setGeometry(150, 118, 110, 32);
    m_startMonth->setFont(ui::uiFont(12));
    for (int month = 1; month <= 12; ++month)
        m_startMonth->addItem(QString::number(month) + u"月"_s, month);
    m_startMonth->setCurrentIndex(3);
    rowTitle(panel, u"先生の名前"_s, 160);
    m_teacher = makeEdit(panel, u"teacherEdit"_s, QRect(150, 160, 300, 32));
    ui::makeLabel(panel, QString(), u"名簿に ★ を付けて入ります"_s, QRect(462, 160, 240, 32), ui::uiFont(11));
    rowTitle(panel, u"パスワード"_s, 202);
    m_password = makeEdit(panel, u"passwordEdit"_s, QRect(150, 202, 200, 32));
    ui::makeLabel(panel, QString(), u"もう一度"_s, QRect(370, 202, 90, 32), ui::uiFont(12));
    m_passwordAgain = makeEdit(panel, u"passwordAgainEdit"_s, QRect(462, 202, 200, 32));
    for (QLineEdit* edit : {m_password, m_passwordAgain})
        edit->setEchoMode(QLineEdit::Password);
    ui::makeLabel(panel, QString(), u"合格タイムのデータと音は、ドリルの標準のものを入れます。"_s,
                  QRect(20, 244, 680, 26), ui::uiFont(11));

    m_ok = ui::makeButton(this, u"okButton"_s, u"設定する"_s, QRect(420, 538, 150, 44), ui::uiFont(14, true));
    QPushButton* cancel =
        ui::makeButton(this, u"cancelButton"_s, u"やめる"_s, QRect(590, 538, 150, 44), ui::uiFont(14, true));
    connect(m_ok, &QPushButton::clicked, this, &FrmSetup::Confirm);
    connect(cancel, &QPushButton::clicked, this, &FrmSetup::Cancel);
}

void FrmSetup::activate() {
    m_folder->setFocus();
}

void FrmSetup::showChoice() {
    m_newPanel->setEnabled(m_newOption->isChecked());
}

NewSharedFolder FrmSetup::answers() const {
    NewSharedFolder answers;
    answers.folder = m_folder->text().trimmed();
    answers.siteCode = m_siteCode->text();
    answers.siteName = m_siteName->text();
    answers.startMonth = m_startMonth->currentData().toInt();
    answers.teacherName = m_teacher->text();
    answers.password = m_password->text();
    answers.passwordAgain = m_passwordAgain->text();
    return answers;
}

void FrmSetup::Browse() {
    QPointer<FrmSetup> guard(this);
    const QString folder = m_ctx.platform.files->folderName(u"共有フォルダを選ぶ"_s, m_folder->text());
    if (guard && !folder.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(folder));
}

void FrmSetup::Confirm() {
    const Platform& platform = m_ctx.platform;
    QPointer<FrmSetup> guard(this);
    const bool makeNew = m_newOption->isChecked();
    QString error;
    if (makeNew) {
        const NewSharedFolder wanted = answers();
        error = newFolderRefusal(wanted);
        if (const QString warning = nameWarning(wanted.teacherName); error.isEmpty() && !warning.isEmpty()) {
            platform.messages->show(warning, kTitle, MessageButtons::Ok, MessageIcon::Information);
            if (!guard)
                return;
        }
        if (error.isEmpty())
            error = setUpNewSharedFolder(wanted, m_places, platform.clock->today());
    } else {
        error = useSharedFolder(m_folder->text().trimmed(), m_places);
    }
    if (!error.isEmpty()) {
        platform.messages->show(error, kTitle, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    m_done = true;
    if (makeNew) {
        platform.messages->show(
            u"共有フォルダを作りました。\r\n"
            u"名前の一覧で先生の名前を選び、成績の画面の「データ処理」でパスワードを入れて"
            u"「名簿」を開くと、生徒を追加できます。"_s,
            kTitle, MessageButtons::Ok, MessageIcon::Information);
        if (!guard)
            return;
    }
    leave();
}

void FrmSetup::Cancel() {
    leave();
}

void FrmSetup::leave() {
    if (m_ctx.platform.screens)
        m_ctx.platform.screens->close(screens::FrmSetup());
}

bool FrmSetup::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        Cancel();
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Enter presses the button it is on, and moves on from a field to the next one.
    if (auto* button = qobject_cast<QPushButton*>(receiver)) {
        button->click();
        return true;
    }
    if (qobject_cast<QLineEdit*>(receiver) || qobject_cast<QRadioButton*>(receiver)) {
        focusNextChild();
        return true;
    }
    return false;
}

} // namespace mirai
