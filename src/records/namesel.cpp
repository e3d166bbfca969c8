#include "namesel.h"

#include "AppControl.h"
#include "Clock.h"
#include "EventPump.h"
#include "Firstfrm.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "Paths.h"
#include "Platform.h"
#include "ProcessLauncher.h"
#include "Random.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "SoundCues.h"
#include "StationNotice.h"
#include "Statistics.h"
#include "UiSupport.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// The small picture at the left of the title: a slate with a decimal product.
QPixmap titleIcon() {
    QPixmap icon(72, 72);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 80, 30), 4));
    painter.setBrush(QColor(36, 92, 60));
    painter.drawRoundedRect(QRectF(4, 4, 64, 64), 10, 10);
    painter.setPen(Qt::white);
    painter.setFont(ui::uiFont(13, true));
    painter.drawText(QRectF(4, 8, 64, 30), Qt::AlignCenter, u"0.3×7"_s);
    painter.setPen(QColor(255, 230, 120));
    painter.drawText(QRectF(4, 36, 64, 28), Qt::AlignCenter, u"=2.1"_s);
    return icon;
}

using ui::makeButton;
using ui::makeLabel;

} // namespace

namesel::namesel(Context context, QWidget* parent) : Screen(parent), m_ctx(context) {
    setWindowTitle(u"velarix"_s);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    buildControls();
    installScreenFilter();
}

void namesel::buildControls() {
    // Header: icon and title at the left, the way back to the program menu at the right.
    m_picture4 = new QWidget(this);
    m_picture4->setObjectName(u"Picture4"_s);
    m_picture4->setGeometry(0, 0, ui::kScreenWidth, 100);
    ui::setBackground(m_picture4, QColor(250, 250, 244));

    auto* picture3 = new QWidget(m_picture4);
    picture3->setObjectName(u"Picture3"_s);
    picture3->setGeometry(14, 12, 76, 76);
    auto* image1 = new QLabel(picture3);
    image1->setObjectName(u"Image1"_s);
    image1->setGeometry(2, 2, 72, 72);
    image1->setPixmap(titleIcon());

    auto* label6 = new QLabel(m_picture4);
    label6->setObjectName(u"Label6"_s);
    label6->setGeometry(96, 88, 600, 4);

    m_label4 = makeLabel(m_picture4, u"Label4"_s, m_ctx.state.ProgramTitle, QRect(104, 4, 560, 90),
                         ui::uiFont(48, true));
    m_label4->setCursor(Qt::PointingHandCursor);
    m_label4->setToolTip(u"バージョン情報"_s);
    m_label4->setStyleSheet(u"color: #1c3f78;"_s);

    m_command7 = makeButton(m_picture4, u"Command7"_s, u"ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)"_s, QRect(740, 24, 270, 52),
                            ui::uiFont(14, true));
    connect(m_command7, &QPushButton::clicked, this, &namesel::command7Click);
    // Between the title and the button, where the outage notice has room for its two lines.
    m_stationNotice = makeStationNotice(m_picture4, QRect(452, 14, 278, 66));

    // Prompt line with the confirmation at its right.
    m_label1 =
        makeLabel(this, u"Label1"_s, noNameChosenText(), QRect(16, 110, 780, 48), ui::uiFont(24, true));
    ui::setBackground(m_label1, QColor(255, 255, 255));
    m_label1->setFrameShape(QFrame::Panel);
    m_label1->setFrameShadow(QFrame::Sunken);
    m_label1->setContentsMargins(12, 0, 12, 0);

    m_label2 = new QLabel(this);
    m_label2->setObjectName(u"Label2"_s);
    m_label2->hide();

    m_command14 = makeButton(this, u"Command14"_s, u"O.K."_s, QRect(810, 106, 200, 56), ui::uiFont(22, true));
    connect(m_command14, &QPushButton::clicked, this, &namesel::command14Click);

    // Display modes and the grade filter.
    makeLabel(this, u"Label5"_s, u"今までの全成績"_s, QRect(16, 170, 130, 36), ui::uiFont(12, true));

    // The four display modes share the row; each button is as wide as its caption.
    auto* picture7 = new QWidget(this);
    picture7->setObjectName(u"Picture7"_s);
    picture7->setGeometry(150, 168, 720, 40);
    m_options = new QButtonGroup(this);
    const QString captions[kDisplayModeCount] = {u"回数(今日／今まで）"_s, u"ポイント（今日／今まで）"_s,
                                                 u"本日（ポイント／回数）"_s, u"今まで（ポイント／回数）"_s};
    const QFont optionFont = ui::uiFont(10.5, true);
    const QFontMetrics optionMetrics(optionFont);
    int x = 0;
    for (int i = 0; i < kDisplayModeCount; ++i) {
        auto* option = new QRadioButton(captions[i], picture7);
        option->setObjectName(u"Option1(%1)"_s.arg(i));
        option->setFont(optionFont);
        const int width = optionMetrics.horizontalAdvance(captions[i]) + 30;
        option->setGeometry(x, 4, width, 32);
        m_options->addButton(option, i);
        connect(option, &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                option1Click(i);
        });
        m_option1[static_cast<std::size_t>(i)] = option;
        x += width;
    }

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(u"Combo1"_s);
    m_combo1->setGeometry(874, 170, 140, 36);
    m_combo1->setFont(ui::uiFont(14, true));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMaxVisibleItems(12);
    m_combo1->setToolTip(u"表示する学年を選びなさい"_s);
    m_combo1->addItems(gradeFilterItems());
    m_combo1->setCurrentIndex(0);
    connect(m_combo1, &QComboBox::activated, this, [this](int) { combo1Click(); });

    // The name list: fixed pitch, so the padded figures stand in columns.
    m_list1 = new QListWidget(this);
    m_list1->setObjectName(u"List1"_s);
    m_list1->setGeometry(10, 216, 1004, 544);
    m_list1->setFont(fixedListFont(18));
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Names run down in columns across the screen, like a newspaper. Each column is as wide as
    // its longest row, and at least as wide as the line of a usual name (a pre-school child's, 35
    // half-width columns), so no row is ever cut and its figures stay readable.
    m_list1->setFlow(QListView::TopToBottom);
    m_list1->setWrapping(true);
    m_list1->setResizeMode(QListView::Adjust);
    m_list1->setTextElideMode(Qt::ElideNone);
    connect(m_list1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            list1Click(row);
    });
    connect(m_list1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { list1DoubleClick(m_list1->row(item)); });

    // The wait panel lies over everything while the screen is busy.
    m_picture5 = new QWidget(this);
    m_picture5->setObjectName(u"Picture5"_s);
    m_picture5->setGeometry(0, 0, ui::kScreenWidth, ui::kScreenHeight);
    auto* label19 = makeLabel(m_picture5, u"Label19"_s, u"Just a moment, please."_s,
                              QRect(0, 330, ui::kScreenWidth, 60), ui::uiFont(28, true));
    label19->setAlignment(Qt::AlignCenter);
    m_picture5->hide();
}

QFont fixedListFont(int pixelSize) {
    QFont font = ui::fixedFont(12, true);
    font.setPixelSize(pixelSize + pixelSize % 2);
    return font;
}

QString namesel::launcherPath(const QString& appFolder) {
    QString folder = appFolder;
    while (folder.endsWith(u'\\') || folder.endsWith(u'/'))
        folder.chop(1);
    return nativePath(folder + u"\\..\\起動\\プログラムメニューc.exe"_s);
}

void namesel::showWaitPanel(bool shown) {
    if (shown) {
        m_picture5->raise();
        m_picture5->show();
    } else {
        m_picture5->hide();
    }
}

void namesel::activate() {
    const Platform& platform = m_ctx.platform;
    QPointer<namesel> guard(this);
    if (!m_opened) {
        m_opened = true;
        const QColor season = ui::fromBgr(m_ctx.state.SeasonColour);
        ui::setBackground(this, season);
        ui::setBackground(m_picture5, season);
        platform.random->reseed(
            static_cast<std::uint64_t>(platform.clock->timeOfDay().msecsSinceStartOfDay()));
        showWaitPanel(true);
        platform.events->processEvents();
        if (!guard || platform.app->endRequested())
            return;
        // Every activation chooses the points mode; choosing it before the first list saves
        // building that list twice.
        {
            const QSignalBlocker blocker(m_options);
            const QSignalBlocker optionBlocker(m_option1[kModePoints]);
            m_option1[kModePoints]->setChecked(true);
            m_displayMode = kModePoints;
        }
        名簿表示();
        if (!guard || platform.app->endRequested())
            return;
        m_label4->setFont(ui::uiFont(48, true));
        m_label4->setText(m_ctx.state.ProgramTitle);
        m_list1->setCurrentRow(0);
        platform.events->processEvents();
        if (!guard || platform.app->endRequested())
            return;
        showWaitPanel(false);
    }

    if (!m_option1[kModePoints]->isChecked()) {
        m_option1[kModePoints]->setChecked(true); // its click rebuilds the list
        if (!guard || platform.app->endRequested())
            return;
    }
    m_displayMode = kModePoints;
    {
        const QSignalBlocker blocker(m_combo1);
        m_combo1->clear();
        m_combo1->addItems(gradeFilterItems());
        m_combo1->setCurrentIndex(0);
    }
    m_ctx.state.GradeFilterText = m_combo1->currentText();
    // The filter now reads "全学年"; a list built for another group would not match it.
    if (m_listGroupText != m_combo1->currentText()) {
        名簿表示();
        if (!guard || platform.app->endRequested())
            return;
    }
    if (platform.screens)
        platform.screens->close(screens::seisekitime1());
    platform.events->processEvents();
    if (!guard || platform.app->endRequested())
        return;
    m_label1->setText(noNameChosenText());
    showWaitPanel(false);
    m_list1->setFocus();
}

void namesel::名簿表示() {
    QPointer<namesel> guard(this);
    if (!ComputeResultStatistics(m_ctx) || !guard)
        return;
    // Each load learns afresh whether the share is there and which runs still wait.
    refreshStationNotice(m_stationNotice, m_ctx);
    const QString group = m_combo1->currentText();
    m_names.rebuild(m_ctx.state, m_ctx.platform.clock->today(), m_displayMode, group);
    m_listGroupText = group;

    m_list1->setUpdatesEnabled(false);
    {
        const QSignalBlocker blocker(m_list1);
        m_list1->clear();
        const QFontMetrics metrics(m_list1->font());
        const int rowHeight = metrics.height() + 4;
        const int usualWidth = metrics.horizontalAdvance(QString(36, u'0')) + 4;
        for (const QString& row : m_names.rows()) {
            auto* item = new QListWidgetItem(row, m_list1);
            item->setSizeHint(QSize(std::max(usualWidth, metrics.horizontalAdvance(row) + 8), rowHeight));
        }
    }
    m_list1->setUpdatesEnabled(true);
    m_list1->setCurrentRow(0);
    list1Click(0);
}

void namesel::option1Click(int mode) {
    if (mode < 0 || mode >= kDisplayModeCount)
        return;
    m_displayMode = mode;
    名簿表示();
}

void namesel::combo1Click() {
    QPointer<namesel> guard(this);
    m_ctx.state.GradeFilterText = m_combo1->currentText();
    名簿表示();
    if (guard)
        m_list1->setFocus();
}

void namesel::list1Click(int row) {
    if (row <= 0 || row >= m_names.rows().size()) {
        m_label1->setText(noNameChosenText());
        return;
    }
    m_label1->setText(m_names.promptForRow(row));
    const QString& entry = m_names.entries()[row - 1];
    m_label2->setText(entry.mid(entry.lastIndexOf(u'*') + 1));
}

void namesel::list1DoubleClick(int row) {
    list1Click(row);
    if (row > 0 && row < m_names.rows().size())
        m_label1->setText(m_names.fullNameForRow(row));
    command14Click();
}

void namesel::command14Click() {
    const Platform& platform = m_ctx.platform;
    const QString chosen = m_label1->text();
    if (chosen == noNameChosenText() || chosen.isEmpty()) {
        PlayWrongSound(m_ctx);
        return;
    }
    const double number = Val(m_label2->text());
    if (number < 0 || number > kMaxStudent) {
        PlayWrongSound(m_ctx);
        return;
    }
    SharedState& state = m_ctx.state;
    state.SessionStart = static_cast<std::int32_t>(Int(platform.clock->secondsSinceMidnight()));
    state.StudentNumber = static_cast<std::int16_t>(number);
    state.StudentName = state.RosterNames[static_cast<std::size_t>(state.StudentNumber)];
    state.StudentGroupText = state.GradeLabelByNumber[static_cast<std::size_t>(state.StudentNumber)];
    m_command14->hide();
    showWaitPanel(true);
    QPointer<namesel> guard(this);
    platform.events->processEvents();
    if (!guard || platform.app->endRequested())
        return;
    SetUpLevels(m_ctx);
}

void namesel::command7Click() {
    const Platform& platform = m_ctx.platform;
    const QString program = launcherPath(m_ctx.state.AppFolder);
    QString error;
    if (!platform.launcher->startDetached(program, {u"001"_s}, &error)) {
        platform.messages->show(u"プログラムメニューを起動できません。\n%1\n%2"_s.arg(program, error),
                                m_ctx.state.ProgramTitle, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    platform.app->endProgram();
}

void namesel::label4Click() {
    if (m_ctx.platform.screens)
        m_ctx.platform.screens->showModal(screens::frmver(), this);
}

bool namesel::screenClick(QWidget* target) {
    if (target != m_label4)
        return false;
    label4Click();
    return true;
}

bool namesel::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Keys typed into the filter's text field are text; Enter applies the typed group.
    if (receiver == m_combo1 || qobject_cast<QLineEdit*>(receiver)) {
        if (enter && receiver == m_combo1) {
            combo1Click();
            return true;
        }
        return false;
    }
    if (receiver == m_list1 && (enter || key == Qt::Key_Space)) {
        command14Click();
        return true;
    }
    const QString text = event->text();
    if (text == u"1"_s && m_command14->isVisible()) {
        command14Click();
        return true;
    }
    if (text == u"0"_s && m_command7->isVisible()) {
        command7Click();
        return true;
    }
    return false;
}

void registerNameSelection(ScreenManager& manager, Context context) {
    manager.registerScreen(screens::namesel(), [context] { return new namesel(context); });
}

} // namespace mirai
