#include "seisekitime1.h"

#include "AppControl.h"
#include "Clock.h"
#include "DrillFlow.h"
#include "EventPump.h"
#include "FrmClassGrid.h"
#include "FrmPicture.h"
#include "GraphPanel.h"
#include "HubRules.h"
#include "MessageBoxes.h"
#include "NameList.h"
#include "NumberText.h"
#include "Platform.h"
#include "ResultRecords.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "StationNotice.h"
#include "Statistics.h"
#include "UiSupport.h"
#include "namesel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// Form width in twips (a full 1024-pixel screen).
constexpr double kFormWidthTwips = ui::kScreenWidth * ui::kTwipsPerPixel;

// Vertical layout of the screen, in pixels.
constexpr int kLabel5Top = 106;
constexpr int kLabel5Height = 32;
constexpr int kBottomStripTop = 716;
constexpr int kLevelRowHeight = 40;
constexpr int kStartRowHeight = 46;
constexpr int kHeadingRowHeight = 22;
constexpr int kFigureRowHeight = 30;
constexpr int kPassRowHeight = 26;
constexpr int kTargetRowHeight = 28;

const QColor kLabelGrey = ui::fromBgr(0xE0E0E0);

// The station notice beside the teachers' buttons, and across the strip without them.
const QRect kNoticeBeside(196, kBottomStripTop + 4, 260, 44);
const QRect kNoticeAlone(196, kBottomStripTop + 4, 654, 44);

QRadioButton* makeOption(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* option = new QRadioButton(text, parent);
    option->setObjectName(name);
    option->setGeometry(geometry);
    option->setFont(ui::uiFont(12, true));
    return option;
}

using ui::makeButton;
using ui::makeLabel;

} // namespace

seisekitime1::seisekitime1(Context context, QWidget* parent) : Screen(parent), m_ctx(context) {
    setWindowTitle(m_ctx.state.ProgramTitle);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    buildControls();
    installScreenFilter();
}

QWidget* seisekitime1::buildOptionRow(const QString& panelName, const QRect& geometry,
                                      const QString& optionName, int firstIndex, const QStringList& captions,
                                      int optionWidth, void (seisekitime1::*onClick)(int)) {
    auto* panel = new QWidget(this);
    panel->setObjectName(panelName);
    panel->setGeometry(geometry);
    ui::setBackground(panel, QColor(236, 240, 250));
    auto* group = new QButtonGroup(panel);
    for (int i = 0; i < captions.size(); ++i) {
        const int k = firstIndex + i;
        auto* option = makeOption(panel, optionName.arg(k), captions[i],
                                  QRect(8 + i * (optionWidth + 4), 2, optionWidth, 32));
        group->addButton(option, k);
        connect(option, &QRadioButton::toggled, this, [this, k, onClick](bool checked) {
            if (checked)
                (this->*onClick)(k);
        });
    }
    return panel;
}

void seisekitime1::buildControls() {
    // Header: title, student, site, minutes since the name was chosen, runs today.
    m_label11 = makeLabel(this, u"Label11"_s, QString(), QRect(), ui::uiFont(24, true));
    m_label11->setGeometry(16, 6, 290, 52);
    m_label11->setStyleSheet(u"color: #1c3f78;"_s);
    m_label12 = makeLabel(this, u"Label12"_s, QString(), QRect(), ui::uiFont(20, true));
    m_label12->setGeometry(316, 4, 380, 36);
    m_label13 = makeLabel(this, u"Label13"_s, QString(), QRect(), ui::uiFont(12));
    m_label13->setGeometry(318, 40, 380, 22);

    auto* picture3 = new QWidget(this);
    picture3->setObjectName(u"Picture3"_s);
    picture3->setGeometry(706, 10, 146, 44);
    ui::setBackground(picture3, QColor(255, 255, 238));
    m_label17 = makeLabel(picture3, u"Label17"_s, QString(), QRect(), ui::uiFont(14, true));
    m_label17->setGeometry(0, 0, 146, 44);
    m_label17->setAlignment(Qt::AlignCenter);

    auto* picture4 = new QWidget(this);
    picture4->setObjectName(u"Picture4"_s);
    picture4->setGeometry(858, 10, 156, 44);
    ui::setBackground(picture4, QColor(255, 255, 238));
    m_label18 = makeLabel(picture4, u"Label18"_s, QString(), QRect(), ui::uiFont(13, true));
    m_label18->setGeometry(0, 0, 156, 44);
    m_label18->setAlignment(Qt::AlignCenter);

    // Display kind and list order.
    m_picture5 =
        buildOptionRow(u"Picture5"_s, QRect(12, 64, 372, 36), u"Option2(%1)"_s, 0,
                       {u"ﾀｲﾑ表示"_s, u"ﾎﾟｲﾝﾄ表示"_s, u"個人ﾀｲﾑ"_s}, 118, &seisekitime1::option2Click);
    m_option2Group = m_picture5->findChild<QButtonGroup*>();
    for (int k = 0; k < 3; ++k)
        m_option2[static_cast<std::size_t>(k)] = static_cast<QRadioButton*>(m_option2Group->button(k));

    m_picture1 =
        buildOptionRow(u"Picture1"_s, QRect(392, 64, 390, 36), u"Option1(%1)"_s, 1,
                       {u"BEST表示"_s, u"本日のみ"_s, u"オール表示"_s}, 124, &seisekitime1::option1Click);
    m_option1Group = m_picture1->findChild<QButtonGroup*>();
    for (int k = 1; k <= 3; ++k)
        m_option1[static_cast<std::size_t>(k)] = static_cast<QRadioButton*>(m_option1Group->button(k));

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(u"Combo1"_s);
    m_combo1->setGeometry(790, 65, 140, 34);
    m_combo1->setFont(ui::uiFont(13, true));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setMaxVisibleItems(12);
    m_combo1->setToolTip(u"表示する学年を選びなさい"_s);
    connect(m_combo1, &QComboBox::activated, this, [this](int) { combo1Click(); });

    // The list heading; the period choice lies over its right end while a period list is shown.
    m_label5 = makeLabel(this, u"Label5"_s, u"ベスト成績"_s, QRect(), ui::uiFont(16, true));
    m_label5->setGeometry(0, kLabel5Top, ui::kScreenWidth, kLabel5Height);
    m_label5->setContentsMargins(20, 0, 0, 0);
    ui::setBackground(m_label5, QColor(255, 255, 255, 150));

    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(u"Combo2"_s);
    m_combo2->setGeometry(764, kLabel5Top, 250, kLabel5Height);
    m_combo2->setFont(ui::uiFont(12, true));
    m_combo2->hide();
    connect(m_combo2, &QComboBox::activated, this, &seisekitime1::combo2Click);

    // Bottom strip.
    m_command1 = makeButton(this, u"Command1"_s, u"戻る(0)"_s, QRect(16, kBottomStripTop + 4, 170, 44),
                            ui::uiFont(16, true));
    m_command1->setEnabled(false);
    connect(m_command1, &QPushButton::clicked, this, &seisekitime1::command1Click);
    // Between the back button and the teachers' buttons: the share out of reach, runs waiting. It
    // is narrower while the teachers' buttons are shown.
    m_stationNotice = makeStationNotice(this, kNoticeBeside);
    m_classGridButton = makeButton(this, u"classGridButton"_s, u"クラス一覧"_s,
                                   QRect(464, kBottomStripTop + 4, 120, 44), ui::uiFont(13, true));
    m_classGridButton->setToolTip(u"選んだ学年の生徒の、レベルごとの様子を一覧で見ます"_s);
    m_classGridButton->hide();
    connect(m_classGridButton, &QPushButton::clicked, this, &seisekitime1::classGridClick);
    m_command8 = makeButton(this, u"Command8"_s, u"データ処理"_s, QRect(592, kBottomStripTop + 4, 130, 44),
                            ui::uiFont(13, true));
    m_command8->hide();
    connect(m_command8, &QPushButton::clicked, this, &seisekitime1::command8Click);
    m_command27 = makeButton(this, u"Command27"_s, u"印刷"_s, QRect(730, kBottomStripTop + 4, 120, 44),
                             ui::uiFont(13, true));
    m_command27->hide();
    connect(m_command27, &QPushButton::clicked, this, &seisekitime1::command27Click);
    m_command17 = makeButton(this, u"Command17"_s, u"グラフ"_s, QRect(858, kBottomStripTop + 4, 150, 44),
                             ui::uiFont(14, true));
    m_command17->hide();
    connect(m_command17, &QPushButton::clicked, this, &seisekitime1::command17Click);

    // The progress graphs over the list area; they rank as the lists do.
    m_picture11 = new GraphPanel(
        m_ctx,
        [this] {
            return GraphPanel::HubSettings{m_combo1->currentText(), m_pointsOrder};
        },
        this);
    // The panel covers the lists; their heading would show above it.
    connect(m_picture11, &GraphPanel::visibilityChanged, m_label5,
            [this](bool shown) { m_label5->setVisible(!shown); });

    // Wait panel over the lists while they are rebuilt.
    m_picture6 = new QWidget(this);
    m_picture6->setObjectName(u"Picture6"_s);
    ui::setBackground(m_picture6, QColor(250, 250, 250));
    auto* label21 =
        makeLabel(m_picture6, u"Label21"_s, u"Just a momento, please."_s, QRect(), ui::uiFont(24, true));
    label21->setGeometry(0, 200, ui::kScreenWidth, 50);
    label21->setAlignment(Qt::AlignCenter);
    m_progressBar2 = new QProgressBar(m_picture6);
    m_progressBar2->setObjectName(u"ProgressBar2"_s);
    m_progressBar2->setGeometry(262, 270, 500, 26);
    m_progressBar2->setTextVisible(false);
    m_picture6->hide();

    // Password panel of the teachers' data processing.
    // A frame with a background of its own: the lists under it must not show through, whatever
    // a style sheet does to a plain widget's palette.
    m_picture7 = new QFrame(this);
    m_picture7->setObjectName(u"Picture7"_s);
    m_picture7->setGeometry(192, 220, 640, 272);
    m_picture7->setAttribute(Qt::WA_StyledBackground, true);
    m_picture7->setStyleSheet(u"#Picture7 { background-color: #fffae8; border: 2px solid #7a6a3a; }"_s);
    auto* label28 =
        makeLabel(m_picture7, u"Label28"_s, u"データ変更パスワード"_s, QRect(), ui::uiFont(16, true));
    label28->setGeometry(28, 20, 584, 36);
    m_text3 = new QLineEdit(m_picture7);
    m_text3->setObjectName(u"Text3"_s);
    m_text3->setGeometry(28, 64, 584, 42);
    m_text3->setFont(ui::uiFont(16));
    m_text3->setEchoMode(QLineEdit::Password);
    // The three teachers' screens in one row, the way back under them; each button wide enough
    // for its caption with room to spare at any scale.
    m_command10[0] = makeButton(m_picture7, u"Command10(0)"_s, u"データ変更"_s, QRect(28, 128, 170, 52),
                                ui::uiFont(13, true));
    m_command10[1] = makeButton(m_picture7, u"Command10(1)"_s, u"合格タイムデータ変更"_s,
                                QRect(210, 128, 262, 52), ui::uiFont(13, true));
    m_command10[2] =
        makeButton(m_picture7, u"Command10(2)"_s, u"名簿"_s, QRect(484, 128, 128, 52), ui::uiFont(13, true));
    m_command12 =
        makeButton(m_picture7, u"Command12"_s, u"戻る"_s, QRect(492, 196, 120, 52), ui::uiFont(13, true));
    connect(m_command10[0], &QPushButton::clicked, this, [this] { command10Click(0); });
    connect(m_command10[1], &QPushButton::clicked, this, [this] { command10Click(1); });
    connect(m_command10[2], &QPushButton::clicked, this, [this] { command10Click(2); });
    connect(m_command12, &QPushButton::clicked, this, &seisekitime1::command12Click);
    m_picture7->hide();

    // Wait panel over the whole screen while it is refreshed or a run starts.
    m_picture2 = new QWidget(this);
    m_picture2->setObjectName(u"Picture2"_s);
    m_picture2->setGeometry(0, 0, ui::kScreenWidth, ui::kScreenHeight);
    auto* label19 =
        makeLabel(m_picture2, u"Label19"_s, u"Just a moment, please."_s, QRect(), ui::uiFont(28, true));
    label19->setGeometry(0, 320, ui::kScreenWidth, 60);
    label19->setAlignment(Qt::AlignCenter);
    m_progressBar1 = new QProgressBar(m_picture2);
    m_progressBar1->setObjectName(u"ProgressBar1"_s);
    m_progressBar1->setGeometry(262, 400, 500, 26);
    m_progressBar1->setTextVisible(false);
    m_picture2->hide();
}

int seisekitime1::levelCount() const {
    return std::clamp<int>(m_ctx.state.LevelCount, 0, kMaxLevel);
}

bool seisekitime1::isTeacher() const {
    return isTeacherName(m_ctx.state.StudentName);
}

bool seisekitime1::pump() {
    QPointer<seisekitime1> guard(this);
    m_ctx.platform.events->processEvents();
    return guard && !m_ctx.platform.app->endRequested();
}

void seisekitime1::activate() {
    QPointer<seisekitime1> guard(this);
    if (!m_built) {
        m_built = true;
        BuildResultsScreen();
    }
    if (guard)
        RefreshResultsScreen();
}

void seisekitime1::BuildResultsScreen() {
    SharedState& state = m_ctx.state;
    const QColor season = ui::fromBgr(state.SeasonColour);
    ui::setBackground(this, season);
    ui::setBackground(m_picture2, season);
    m_picture2->move(0, 0);

    const int count = levelCount();
    m_columnWidth = mirai::columnWidthTwips(count);
    const double column = m_columnWidth;
    const double half = column / 2;

    // Grade filter and period choice.
    {
        const QSignalBlocker blocker1(m_combo1);
        const QSignalBlocker blocker2(m_combo2);
        m_combo1->clear();
        m_combo1->addItems(gradeFilterItems());
        m_combo1->setEditText(state.GradeFilterText);
        m_combo2->clear();
        m_combo2->addItems(periodItems());
        state.PeriodChoice = 3;
        m_combo2->setCurrentIndex(state.PeriodChoice - 1);
    }

    // The columns, their rows stacked under each other below the list heading.
    m_columns.assign(static_cast<std::size_t>(count) + 1, Column{});
    const double rowTop = kLabel5Top + 1.05 * kLabel5Height;
    for (int i = 1; i <= count; ++i) {
        Column& c = m_columns[static_cast<std::size_t>(i)];
        double y = rowTop;
        const auto place = [&](QWidget* widget, double left, double width, int height) {
            widget->setGeometry(ui::px(left), static_cast<int>(y), ui::px(width), height);
        };

        c.label1 = makeLabel(this, u"Label1(%1)"_s.arg(i), numberText(i), QRect(), ui::uiFont(22, true));
        c.label1->setAlignment(Qt::AlignCenter);
        ui::setBackground(c.label1, QColor(28, 63, 120));
        c.label1->setStyleSheet(u"color: white;"_s);
        place(c.label1, 0, 0.2 * column, kLevelRowHeight);
        c.label3 = makeLabel(this, u"Label3(%1)"_s.arg(i), state.LevelNames[static_cast<std::size_t>(i)],
                             QRect(), ui::uiFont(20, true));
        c.label3->setToolTip(state.LevelNames[static_cast<std::size_t>(i)]);
        c.label3->setContentsMargins(12, 0, 0, 0);
        c.label3->setCursor(Qt::PointingHandCursor);
        ui::setBackground(c.label3, QColor(255, 255, 255));
        place(c.label3, 0.2 * column, 0.8 * column, kLevelRowHeight);
        y += kLevelRowHeight;

        c.command4 =
            makeButton(this, u"Command4(%1)"_s.arg(i), u"ｽﾀｰﾄ(&%1)"_s.arg(i), QRect(), ui::uiFont(18, true));
        place(c.command4, 0, column, kStartRowHeight);
        connect(c.command4, &QPushButton::clicked, this, [this, i] { StartLevel(i, false); });
        c.text1 = makeLabel(this, u"Text1(%1)"_s.arg(i), QString(), QRect(), ui::uiFont(18, true));
        c.text1->setAlignment(Qt::AlignCenter);
        ui::setBackground(c.text1, QColor(255, 236, 120));
        c.text1->setStyleSheet(u"color: #c00000; border: 2px solid #c00000;"_s);
        place(c.text1, 0, column, kStartRowHeight);
        c.text1->hide();
        y += kStartRowHeight;

        c.label9 = makeLabel(this, u"Label9(%1)"_s.arg(i), QString(), QRect(), ui::uiFont(11, true));
        c.label9->setAlignment(Qt::AlignCenter);
        place(c.label9, 0, half, kHeadingRowHeight);
        c.label10 = makeLabel(this, u"Label10(%1)"_s.arg(i), QString(), QRect(), ui::uiFont(11, true));
        c.label10->setAlignment(Qt::AlignCenter);
        place(c.label10, half, half, kHeadingRowHeight);
        y += kHeadingRowHeight;

        c.label14 = makeLabel(this, u"Label14(%1)"_s.arg(i), QString(), QRect(), ui::uiFont(15, true));
        c.label14->setAlignment(Qt::AlignCenter);
        ui::setBackground(c.label14, QColor(255, 255, 255));
        place(c.label14, 0, half, kFigureRowHeight);
        c.label15 = makeLabel(this, u"Label15(%1)"_s.arg(i), QString(), QRect(), ui::uiFont(15, true));
        c.label15->setAlignment(Qt::AlignCenter);
        ui::setBackground(c.label15, QColor(255, 255, 255));
        place(c.label15, half, half, kFigureRowHeight);
        y += kFigureRowHeight;

        c.label8 = makeLabel(this, u"Label8(%1)"_s.arg(i), passPeriodLine(state, i, state.StudentNumber),
                             QRect(), ui::uiFont(12, true));
        c.label8->setContentsMargins(8, 0, 0, 0);
        place(c.label8, 0, column, kPassRowHeight);
        y += kPassRowHeight;

        const int listHeight = kBottomStripTop - kTargetRowHeight - static_cast<int>(y);
        c.list5 = new QListWidget(this);
        c.list5->setObjectName(u"List5(%1)"_s.arg(i));
        c.list5->setFont(fixedListFont(20));
        c.list5->setUniformItemSizes(true);
        c.list5->setSelectionMode(QAbstractItemView::SingleSelection);
        c.list5->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        place(c.list5, 0, column, listHeight);
        y += listHeight;

        c.label7 =
            makeLabel(this, u"Label7(%1)"_s.arg(i), targetLine(state, i), QRect(), ui::uiFont(12, true));
        c.label7->setContentsMargins(8, 0, 0, 0);
        place(c.label7, 0, column, kTargetRowHeight);

        // The screen is already shown: controls made now must be shown themselves.
        for (QWidget* widget :
             std::initializer_list<QWidget*>{c.label1, c.label3, c.command4, c.label9, c.label10, c.label14,
                                             c.label15, c.label8, c.list5, c.label7})
            widget->show();

        // The per-level ranking operation, kept as an invisible command.
        c.command3 = new QPushButton(this);
        c.command3->setObjectName(u"Command3(%1)"_s.arg(i));
        c.command3->hide();
        connect(c.command3, &QPushButton::clicked, this, [this, i] { BuildLevelRanking(i); });
    }

    // Wait panels: the whole screen, and the list area down to the bottom strip.
    m_picture2->setGeometry(0, 0, width(), height());
    m_picture2->raise();
    m_picture6->setGeometry(0, kLabel5Top, ui::kScreenWidth, kBottomStripTop - kLabel5Top);
    placeColumns();
}

void seisekitime1::placeColumns() {
    const double margin = 0.02 * kFormWidthTwips; // List5(0)'s left
    for (int i = 1; i < static_cast<int>(m_columns.size()); ++i) {
        Column& c = m_columns[static_cast<std::size_t>(i)];
        const double left = margin + (i - 1) * static_cast<double>(m_columnWidth);
        const int x = ui::px(left);
        const int shift = x - c.command4->x();
        if (shift == 0)
            continue;
        for (QWidget* widget :
             std::initializer_list<QWidget*>{c.label1, c.label3, c.command4, c.text1, c.label9, c.label10,
                                             c.label14, c.label15, c.label8, c.list5, c.label7})
            widget->move(widget->x() + shift, widget->y());
    }
}

bool seisekitime1::RefreshResultsScreen() {
    SharedState& state = m_ctx.state;
    const Platform& platform = m_ctx.platform;
    QPointer<seisekitime1> guard(this);
    m_refreshing = true;
    m_starting = false;
    const auto stop = [&] {
        if (guard)
            m_refreshing = false;
        return false;
    };

    const bool teacher = isTeacher();
    m_command27->setVisible(teacher && state.PrintAllowed == 1);
    m_command8->setVisible(teacher);
    m_picture11->setTeacherButtonsVisible(teacher);
    m_classGridButton->setVisible(teacher);
    m_stationNotice->setGeometry(teacher ? kNoticeBeside : kNoticeAlone);

    m_label17->setText(minutesSinceStartText(platform.clock->secondsSinceMidnight(), state.SessionStart));

    m_keysEnabled = false;
    m_picture2->resize(width(), height());
    m_picture2->raise();
    m_picture2->show();
    if (!pump())
        return stop();

    if (platform.screens)
        platform.screens->close(screens::namesel());
    if (!ComputeResultStatistics(m_ctx) || !guard)
        return stop();

    m_label18->setText(todayTotalText(state, state.StudentNumber));

    m_progressBar1->setMaximum(std::max(levelCount(), 1));
    m_progressBar1->setValue(0);
    m_progressBar1->show();
    openingDisplay();
    if (!guard || platform.app->endRequested())
        return stop();
    m_command1->setEnabled(true);

    setListsVisible(true);

    m_picture6->hide();
    m_label12->setText(state.StudentGroupText + u' ' + trimBlanks(state.StudentName));
    m_label13->setText(state.SiteName + u':' + numberText(state.StudentNumber));
    m_label11->setFont(ui::uiFont(state.ProgramTitle.size() > 9 ? 20 : 24, true));
    m_label11->setText(state.ProgramTitle);

    placeColumns();

    fillFigureLabels();

    setStartButtonsEnabled(false);
    ApplyStartRules();

    m_picture2->hide();
    m_progressBar1->hide();
    if (!pump())
        return stop();
    m_refreshing = false;
    m_keysEnabled = true;
    scrollToOwnLines();
    // The keyboard starts on the first open level, never in a text field.
    QWidget* focus = m_command1;
    for (int i = static_cast<int>(m_columns.size()) - 1; i >= 1; --i) {
        if (m_columns[static_cast<std::size_t>(i)].command4->isEnabled())
            focus = m_columns[static_cast<std::size_t>(i)].command4;
    }
    focus->setFocus();
    return true;
}

void seisekitime1::fillFigureLabels() {
    const SharedState& state = m_ctx.state;
    const int s = state.StudentNumber;
    for (int i = 1; i < static_cast<int>(m_columns.size()); ++i) {
        Column& c = m_columns[static_cast<std::size_t>(i)];
        ui::setBackground(c.label7, kLabelGrey);
        ui::setBackground(c.label8, kLabelGrey);
        // The statistics were just rebuilt; the pass-period line follows them.
        c.label8->setText(passPeriodLine(state, i, s));
        c.command4->setEnabled(true);
        c.label15->setText(soFarFiguresText(state, i, s));
        c.label14->setText(todayFiguresText(state, i, s));
    }
}

void seisekitime1::ApplyStartRules() {
    SharedState& state = m_ctx.state;
    const int s = state.StudentNumber;
    const int count = static_cast<int>(m_columns.size()) - 1;
    state.RequiredRunsCleared = requiredRunsCleared(state, s);
    const std::vector<bool> blocked = blockedLevels(state, s, count, state.RequiredRunsCleared);
    for (int i = 1; i <= count; ++i) {
        Column& c = m_columns[static_cast<std::size_t>(i)];
        if (blocked[static_cast<std::size_t>(i)]) {
            c.command4->setEnabled(false);
            c.text1->setText(u"やりすぎ禁止"_s);
            c.text1->raise();
            c.text1->show();
        } else {
            c.command4->setEnabled(true);
            c.text1->hide();
        }
    }
    m_picture6->raise();
}

void seisekitime1::StartLevel(int level, bool fromLevelName) {
    // One start at a time: a second click while the drill screen comes up starts nothing.
    if (m_refreshing || m_starting || m_picture7->isVisible())
        return;
    if (level < 1 || level >= static_cast<int>(m_columns.size()))
        return;
    Column& c = m_columns[static_cast<std::size_t>(level)];
    if (!c.command4->isEnabled())
        return;
    SharedState& state = m_ctx.state;
    QPointer<seisekitime1> guard(this);
    m_starting = true;
    if (fromLevelName) {
        state.CurrentLevel = static_cast<std::int16_t>(level);
        m_keysEnabled = false;
        if (!StartRun(m_ctx) || !guard)
            return;
        if (m_ctx.platform.screens)
            m_ctx.platform.screens->close(screens::seisekitime1());
        return;
    }
    m_picture2->raise();
    m_picture2->show();
    state.CurrentLevel = static_cast<std::int16_t>(level);
    if (!pump())
        return;
    m_keysEnabled = false;
    StartRun(m_ctx);
}

void seisekitime1::openingDisplay() {
    m_listMode = kPointsDisplay;
    m_option1[1]->setText(u"累計順"_s);
    m_option1[2]->setText(u"本日順"_s);
    {
        const QSignalBlocker blocker(m_option1[1]);
        m_option1[1]->setChecked(true);
    }
    QPointer<seisekitime1> guard(this);
    option1Click(1);
    if (!guard || m_ctx.platform.app->endRequested())
        return;
    // Selecting the points display now only sets the buttons: the refresh is running.
    m_option2[1]->setChecked(true);
}

void seisekitime1::beginListBuild() {
    m_command1->setEnabled(false);
    setStartButtonsEnabled(false);
    setListsVisible(false);
    m_picture6->raise();
    m_picture6->show();
}

void seisekitime1::endListBuild() {
    m_command1->setEnabled(true);
    ApplyStartRules();
    setListsVisible(true);
    m_picture6->hide();
    scrollToOwnLines();
    // The lists read the records again: the share may have gone or come back meanwhile.
    refreshStationNotice(m_stationNotice, m_ctx);
}

int seisekitime1::checkedOption1() const {
    return m_option1Group->checkedId();
}

int seisekitime1::checkedOption2() const {
    return m_option2Group->checkedId();
}

void seisekitime1::option2Click(int kind) {
    m_command17->hide();
    m_picture11->hide();
    beginListBuild();
    if (!pump() || m_refreshing)
        return;
    switch (kind) {
    case 0: {
        m_option1[1]->setText(u"BEST表示"_s);
        m_option1[2]->setText(u"本日のみ"_s);
        m_option1[3]->setEnabled(true);
        m_listMode = kTimeDisplay;
        const int choice = checkedOption1();
        option1Click(choice > 0 ? choice : 1);
        break;
    }
    case 1: {
        m_combo2->hide();
        m_option1[1]->setText(u"合計累計"_s);
        m_option1[2]->setText(u"合計本日"_s);
        m_option1[3]->setText(u"すべて"_s);
        m_option1[3]->setEnabled(true);
        m_listMode = kPointsDisplay;
        if (!pump())
            return;
        const int choice = checkedOption1();
        if (choice == 3) {
            option1Click(3);
        } else if (choice == 2) {
            m_pointsOrder = kTodayOrder;
            option1Click(2);
        } else {
            m_pointsOrder = kCumulativeOrder;
            option1Click(1);
        }
        break;
    }
    case 2:
        m_command17->show();
        m_combo2->hide();
        ShowPersonalResults();
        break;
    default:
        break;
    }
}

void seisekitime1::option1Click(int choice) {
    QPointer<seisekitime1> guard(this);
    beginListBuild();
    m_combo2->hide();
    m_picture1->setEnabled(false);
    if (!pump())
        return;
    if (effectiveChoice(m_listMode) == kTimeDisplay) {
        bool ok = true;
        if (choice == 1)
            ok = ShowBestTimes();
        else if (choice == 2)
            ok = ShowTodayResults();
        else if (choice == 3)
            ok = ShowPeriodResults();
        if (!ok || !guard)
            return;
    } else {
        if (choice == 1 || choice == 2) {
            m_pointsOrder = choice == 1 ? kCumulativeOrder : kTodayOrder;
            m_label5->setText(choice == 1 ? u"獲得ポイント（今まで順位）"_s
                                          : u"獲得ポイント（今日の順位）"_s);
            const int count = static_cast<int>(m_columns.size()) - 1;
            m_progressBar2->setMaximum(std::max(count, 1));
            for (int i = 1; i <= count; ++i) {
                if (!BuildLevelRanking(i))
                    return;
                m_progressBar2->setValue(i);
                if (m_progressBar1->isVisible())
                    m_progressBar1->setValue(i);
            }
        } else if (choice == 3) {
            if (!ShowPeriodResults() || !guard)
                return;
        }
        m_picture1->setEnabled(true);
    }
    endListBuild();
}

void seisekitime1::combo1Click() {
    QPointer<seisekitime1> guard(this);
    if (checkedOption2() == 0) {
        option2Click(0);
    } else if (checkedOption2() != 1) {
        // A new group from the personal display shows the points of that group; the display
        // kind buttons say so.
        m_option2[1]->setChecked(true);
    } else {
        option2Click(1);
    }
    if (guard && m_columns.size() > 1)
        m_columns[1].command4->setFocus();
}

void seisekitime1::combo2Click(int index) {
    if (checkedOption1() != 3 || index < 0)
        return;
    m_ctx.state.PeriodChoice = static_cast<std::int16_t>(index + 1);
    option1Click(3);
}

void seisekitime1::clearLists() {
    for (int i = 1; i < static_cast<int>(m_columns.size()); ++i) {
        m_columns[static_cast<std::size_t>(i)].list5->clear();
        m_columns[static_cast<std::size_t>(i)].ownLine = -1;
    }
}

void seisekitime1::setHeadings(int level) {
    Column& c = m_columns[static_cast<std::size_t>(level)];
    c.label9->setText(u"今日"_s);
    c.label10->setText(u"今まで"_s);
}

void seisekitime1::fillList(int level, const QStringList& lines, int ownLine) {
    Column& c = m_columns[static_cast<std::size_t>(level)];
    c.list5->setUpdatesEnabled(false);
    c.list5->clear();
    c.list5->addItems(lines);
    c.list5->setUpdatesEnabled(true);
    c.ownLine = ownLine;
}

void seisekitime1::scrollToOwnLines() {
    // The student's own line is brought into view; no line stays selected.
    for (int i = 1; i < static_cast<int>(m_columns.size()); ++i) {
        Column& c = m_columns[static_cast<std::size_t>(i)];
        if (c.ownLine < 0 || c.ownLine >= c.list5->count() || !c.list5->isVisible())
            continue;
        c.list5->scrollToItem(c.list5->item(c.ownLine), QAbstractItemView::EnsureVisible);
        c.list5->clearSelection();
        c.list5->setCurrentRow(-1);
    }
}

void seisekitime1::setListsVisible(bool visible) {
    for (int i = 1; i < static_cast<int>(m_columns.size()); ++i)
        m_columns[static_cast<std::size_t>(i)].list5->setVisible(visible);
}

void seisekitime1::setStartButtonsEnabled(bool enabled) {
    for (int i = 1; i < static_cast<int>(m_columns.size()); ++i)
        m_columns[static_cast<std::size_t>(i)].command4->setEnabled(enabled);
}

bool seisekitime1::BuildLevelRanking(int level) {
    if (level < 1 || level >= static_cast<int>(m_columns.size()))
        return true;
    setHeadings(level);
    m_columns[static_cast<std::size_t>(level)].list5->clear();
    if (!pump())
        return false;
    const LevelRanking ranking =
        levelRanking(m_ctx.state, level, m_listMode, m_pointsOrder, m_combo1->currentText());
    fillList(level, ranking.lines, ranking.ownLine);
    return true;
}

bool seisekitime1::ShowBestTimes() {
    m_label5->setText(u"ベスト成績"_s);
    clearLists();
    const int count = static_cast<int>(m_columns.size()) - 1;
    m_progressBar2->setMaximum(std::max(count, 1));
    for (int i = 1; i <= count; ++i) {
        if (!BuildLevelRanking(i))
            return false;
        m_progressBar2->setValue(i);
    }
    m_picture1->setEnabled(true);
    return true;
}

bool seisekitime1::showRunList(RunListKind kind, std::int64_t newest) {
    QPointer<seisekitime1> guard(this);
    const std::optional<RecordRange> range = readNewestRecords(m_ctx, newest);
    if (!range || !guard)
        return false;
    const double maximum = std::min((static_cast<double>(range->total) + 1) * 1.1, 2.0e9);
    m_progressBar2->setMaximum(static_cast<int>(maximum));
    m_progressBar2->setValue(0);

    RunListSettings settings;
    settings.kind = kind;
    settings.listMode = m_listMode;
    settings.levelCount = static_cast<int>(m_columns.size()) - 1;
    settings.currentStudent = m_ctx.state.StudentNumber;
    settings.groupText = m_combo1->currentText();
    settings.now = m_ctx.platform.clock->now();
    settings.periodDays = m_periodDays;

    std::vector<QStringList> lists;
    const std::int64_t first = range->first;
    appendRunLists(m_ctx.state, settings, range->records, lists, [&](std::size_t read) {
        m_progressBar2->setValue(static_cast<int>(
            std::min<std::int64_t>(first + static_cast<std::int64_t>(read) - 1, m_progressBar2->maximum())));
    });
    for (int i = 1; i <= settings.levelCount; ++i) {
        setHeadings(i);
        fillList(i, i < static_cast<int>(lists.size()) ? lists[static_cast<std::size_t>(i)] : QStringList(),
                 -1);
    }
    return true;
}

bool seisekitime1::ShowTodayResults() {
    m_label5->setText(u"本日の成績"_s);
    clearLists();
    if (!showRunList(RunListKind::Today, 1000))
        return false;
    m_picture1->setEnabled(true);
    return true;
}

bool seisekitime1::ShowPeriodResults() {
    clearLists();
    m_periodDays = PeriodDaysFor(m_ctx.state.PeriodChoice, m_ctx.platform.clock->today());
    m_label5->setText(QString());
    if (!showRunList(RunListKind::Period, kLoadWindow))
        return false;
    m_picture1->setEnabled(true);
    {
        const QSignalBlocker blocker(m_combo2);
        m_combo2->setCurrentIndex(std::clamp<int>(m_ctx.state.PeriodChoice, 1, 5) - 1);
    }
    m_combo2->raise();
    m_combo2->show();
    return true;
}

bool seisekitime1::ShowPersonalResults() {
    m_picture11->FillGraphStudentList();
    m_picture11->fillLevelList(static_cast<int>(m_columns.size()) - 1);
    m_picture11->setGraphStudent(m_ctx.state.StudentNumber);
    m_label5->setText(u"個人別ﾀｲﾑ"_s);
    clearLists();
    m_periodDays = 3650;
    if (!showRunList(RunListKind::Personal, kLoadWindow))
        return false;
    m_picture6->hide();
    ApplyStartRules();
    setListsVisible(true);
    m_command1->setEnabled(true);
    return true;
}

void seisekitime1::command1Click() {
    if (m_refreshing || m_starting || !m_command1->isEnabled())
        return;
    m_picture2->raise();
    m_picture2->show();
    if (!pump())
        return;
    m_keysEnabled = false;
    if (m_ctx.platform.screens)
        m_ctx.platform.screens->show(screens::namesel());
}

void seisekitime1::command8Click() {
    m_text3->clear();
    m_picture7->raise();
    m_picture7->show();
    m_text3->setFocus();
}

void seisekitime1::command12Click() {
    m_picture7->hide();
}

void seisekitime1::command10Click(int which) {
    const Platform& platform = m_ctx.platform;
    if (m_text3->text() != m_ctx.state.DataChangePassword.toText()) {
        platform.messages->show(u"パスワードを入力して下さい"_s, m_ctx.state.ProgramTitle, MessageButtons::Ok,
                                MessageIcon::Warning);
        return;
    }
    const QString target = which == 0   ? screens::FrmData()
                           : which == 1 ? screens::FrmTimeData()
                                        : screens::FrmRoster();
    if (platform.screens && platform.screens->isRegistered(target)) {
        QPointer<seisekitime1> guard(this);
        platform.screens->show(target);
        if (guard && platform.screens)
            platform.screens->close(screens::seisekitime1());
        return;
    }
    m_picture7->hide();
    platform.messages->show(which == 0 ? u"成績データの変更画面は、まだ使えません。"_s
                            : which == 1 ? u"合格タイムデータの変更画面は、まだ使えません。"_s
                                         : u"名簿の画面は、まだ使えません。"_s,
                            m_ctx.state.ProgramTitle, MessageButtons::Ok, MessageIcon::Information);
}

void seisekitime1::command17Click() {
    m_picture11->command17Click();
}

void seisekitime1::classGridClick() {
    openClassGrid(m_ctx, m_combo1->currentText());
}

void seisekitime1::command27Click() {
    const Platform& platform = m_ctx.platform;
    if (platform.screens && platform.screens->isRegistered(screens::FormPrint0())) {
        platform.screens->show(screens::FormPrint0());
        return;
    }
    platform.messages->show(u"印刷の画面は、まだ使えません。"_s, m_ctx.state.ProgramTitle, MessageButtons::Ok,
                            MessageIcon::Information);
}

bool seisekitime1::screenClick(QWidget* target) {
    for (int i = 1; i < static_cast<int>(m_columns.size()); ++i) {
        if (target == m_columns[static_cast<std::size_t>(i)].label3) {
            StartLevel(i, true);
            return true;
        }
    }
    return false;
}

bool seisekitime1::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    // The password is the one text field: it may hold "0", "1" or "2". Every other control,
    // the grade filter's text included, hands the digits to the screen.
    if (receiver == m_text3)
        return false;
    const int key = event->key();
    if ((receiver == m_combo1 || receiver == m_combo1->lineEdit()) &&
        (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        combo1Click();
        return true;
    }
    if (!m_keysEnabled)
        return false;
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    const char16_t ch = text.at(0).unicode();
    if (ch == u'0') {
        if (m_command1->isEnabled())
            command1Click();
        return true;
    }
    if (ch >= u'1' && ch <= u'9') {
        const int level = ch - u'0';
        if (level < static_cast<int>(m_columns.size())) {
            StartLevel(level, false);
            return true;
        }
    }
    return false;
}

void registerResultsScreen(ScreenManager& manager, Context context) {
    manager.registerScreen(screens::seisekitime1(), [context] { return new seisekitime1(context); });
    manager.registerScreen(screens::FrmClassGrid(), [context] { return new FrmClassGrid(context); });
    manager.registerScreen(screens::FrmPicture(), [context] { return new FrmPicture(context); });
}

} // namespace mirai
