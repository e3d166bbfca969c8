#include "FrmSyuuryou.h"

#include "AppControl.h"
#include "DrillArt.h"
#include "DrillFlow.h"
#include "EndScreenRules.h"
#include "EventPump.h"
#include "NumberText.h"
#include "Platform.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "SoundCues.h"
#include "Statistics.h"
#include "UiSupport.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

const QColor kInk(30, 58, 95);

QLabel* endLabel(QWidget* parent, const QString& name, const QRect& geometry, const QFont& font,
                 const QColor& colour, Qt::Alignment alignment = Qt::AlignCenter) {
    QLabel* label = ui::makeLabel(parent, name, QString(), geometry, font);
    label->setAlignment(alignment);
    ui::setTextColour(label, colour);
    return label;
}

QPushButton* bigButton(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                       const QString& colours) {
    QPushButton* button = ui::makeButton(parent, name, text, geometry, ui::uiFont(24, true));
    button->setStyleSheet(u"QPushButton#"_s + name + u" { "_s + colours +
                          u" border-radius: 20px; border: 3px solid rgba(0,0,0,40); }"
                          u" QPushButton#"_s +
                          name + u":focus { border: 4px solid rgb(255,200,80); }"_s);
    button->setAutoDefault(true); // Enter presses the button that has the focus
    button->hide();
    return button;
}

// Clears the record flags when the activation ends, whichever way it ends, so a later run
// never shows this run's record.
struct ClearRecordFlags {
    SharedState& state;
    ~ClearRecordFlags() {
        state.NewPersonalBest = 0;
        state.NewOverallBest = 0;
    }
};

} // namespace

FrmSyuuryou::FrmSyuuryou(Context context, QWidget* parent) : Screen(parent), m_ctx(context) {
    setWindowTitle(u"終了"_s);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);

    auto* image1 = new QLabel(this);
    image1->setObjectName(u"Image1"_s);
    image1->setGeometry(ui::twipRect(0, 0, 15360, 11520));
    image1->setPixmap(backdropPicture(image1->size(), Backdrop::EndOfRun));

    // The card behind the time and the points.
    auto* card = new GradientPanel(QColor(255, 255, 255, 215), QColor(244, 249, 255, 215), 30, this);
    card->setObjectName(u"card"_s);
    card->setBorder(QColor(170, 200, 232), 3);
    card->setGeometry(72, 138, 880, 214);

    m_Label15 = endLabel(this, u"Label15"_s, QRect(40, 22, 560, 40), ui::uiFont(20, true),
                         QColor(110, 80, 50), Qt::AlignLeft | Qt::AlignVCenter);
    m_Label16 = endLabel(this, u"Label16"_s, QRect(40, 70, 240, 50), ui::uiFont(26, true),
                         QColor(200, 110, 30), Qt::AlignLeft | Qt::AlignVCenter);
    m_Label17 = endLabel(this, u"Label17"_s, QRect(280, 70, 380, 50), ui::uiFont(26, true), kInk,
                         Qt::AlignLeft | Qt::AlignVCenter);
    m_Label14 = endLabel(this, u"Label14"_s, QRect(660, 26, 340, 36), ui::uiFont(18), kInk,
                         Qt::AlignRight | Qt::AlignVCenter);
    m_Label13 = endLabel(this, u"Label13"_s, QRect(600, 72, 400, 44), ui::uiFont(18), kInk,
                         Qt::AlignRight | Qt::AlignVCenter);

    m_Label18 = endLabel(card, u"Label18"_s, QRect(0, 16, 880, 100), ui::uiFont(50, true), kInk);
    m_Label19 =
        endLabel(card, u"Label19"_s, QRect(0, 124, 880, 70), ui::uiFont(30, true), QColor(46, 110, 70));

    m_Label2 =
        endLabel(this, u"Label2"_s, QRect(262, 364, 500, 58), ui::uiFont(28, true), QColor(30, 120, 60));
    m_Label2->setText(u"このレベルクリア"_s);
    m_Label2->setStyleSheet(u"QLabel#Label2 { background: rgba(220,246,226,230);"
                            u" border: 3px solid rgb(110,190,130); border-radius: 28px; }"_s);
    m_Label2->hide();

    m_Label20 =
        endLabel(this, u"Label20"_s, QRect(40, 428, 944, 74), ui::uiFont(40, true), QColor(210, 60, 40));
    m_Label20->hide();

    m_Picture1 = new GradientPanel(QColor(255, 226, 120), QColor(246, 176, 60), 24, this);
    m_Picture1->setObjectName(u"Picture1"_s);
    m_Picture1->setBorder(QColor(200, 120, 20), 4);
    m_Picture1->setGeometry(112, 508, 800, 92);
    auto* banner =
        endLabel(m_Picture1, u"Label1"_s, QRect(0, 0, 800, 92), ui::uiFont(32, true), QColor(120, 50, 0));
    banner->setText(u"目標レベルクリア。おめでとう！"_s);
    m_Picture1->hide();

    m_Command4 = bigButton(this, u"Command4"_s, u"メニューへ"_s, QRect(212, 620, 280, 88),
                           u"background: rgb(90,150,220); color: white;"_s);
    m_Command5 = bigButton(this, u"Command5"_s, u"もう一度"_s, QRect(532, 620, 280, 88),
                           u"background: rgb(250,170,70); color: rgb(70,40,10);"_s);
    connect(m_Command4, &QPushButton::clicked, this, &FrmSyuuryou::command4Click);
    connect(m_Command5, &QPushButton::clicked, this, &FrmSyuuryou::command5Click);

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(u"Timer1"_s);
    m_Timer1->setInterval(500);
    connect(m_Timer1, &QTimer::timeout, this, &FrmSyuuryou::timer1Tick);
}

void FrmSyuuryou::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBackdrop(painter, rect(), Backdrop::EndOfRun);
}

bool FrmSyuuryou::letPaint() {
    QPointer<FrmSyuuryou> self(this);
    m_ctx.platform.events->processEvents();
    return self && !m_leaving && !m_ctx.platform.app->endRequested();
}

void FrmSyuuryou::activate() {
    const Context ctx = m_ctx;
    SharedState& state = ctx.state;
    ClearRecordFlags clearFlags{state};

    // A run kept on this station means the shared folder was out of reach a moment ago: the
    // figures come from memory, which holds the run, rather than from another wait for the share.
    if (state.RunKeptOnStation != 0)
        ComputeStatisticsFromLoadedResults(ctx);
    else if (!ComputeResultStatistics(ctx))
        return;
    const bool cleared = levelCleared(state);
    const bool finalLevel = state.FinalLevel == state.CurrentLevel;
    if (cleared) {
        m_Label2->show();
        if (finalLevel && !courseBannerSuppressed(state))
            m_Picture1->show();
    }
    if (!letPaint())
        return;
    m_Timer1->start();

    const bool knownLevel = state.CurrentLevel >= 1 && state.CurrentLevel <= kMaxLevel;
    const LevelCriteriaRow row =
        knownLevel ? state.LevelCriteria[static_cast<std::size_t>(state.CurrentLevel)] : LevelCriteriaRow{};
    m_Label19->setText(
        pointsLine(endRunPoints(state.RunSeconds, row.TargetSeconds, row.PointFactor), row.PointFactor));
    m_Label18->setText(timeLine(state.RunSeconds));
    m_Label17->setText(trimBlanks(state.StudentName));
    m_Label15->setText(state.ProgramTitle);
    m_Label16->setText(isLevelIndex(state.CurrentLevel)
                           ? state.LevelNames[static_cast<std::size_t>(state.CurrentLevel)]
                           : QString());
    const bool known = knownLevel && isStudentNumber(state.StudentNumber);
    m_Label13->setText(
        levelRunsLine(known ? state.RunCountToday(state.CurrentLevel, state.StudentNumber) : 0));
    m_Label14->setText(dayRunsLine(runsTodayOfStudent(state, kMaxLevel)));
    if (!letPaint())
        return;

    const EndMessage message = endMessage(state);
    if (!message.text.isEmpty()) {
        m_Label20->setText(message.text);
        m_Label20->show();
    }
    switch (message.sound) {
    case EndSound::None:
        break;
    case EndSound::OverallBest:
        if (!letPaint())
            return;
        PlayOverallBestSound(ctx);
        if (!letPaint())
            return;
        break;
    case EndSound::PersonalBest:
        if (!letPaint())
            return;
        PlayPersonalBestSound(ctx);
        if (!letPaint())
            return;
        break;
    case EndSound::MinimumLine:
        PlayMinimumLineSound(ctx);
        break;
    }

    if (courseClearedNow(state))
        PlayCourseClearedSound(ctx);
    if (!(finalLevel && cleared))
        m_Picture1->hide();

    state.NewPersonalBest = 0;
    state.NewOverallBest = 0;
    if (!letPaint())
        return;
    ctx.platform.screens->close(screens::BASEFRM());
}

void FrmSyuuryou::timer1Tick() {
    m_Picture1->hide();
    m_Command4->show();
    m_Command4->setFocus(Qt::OtherFocusReason);
    m_Timer1->stop();
    const ButtonChoice choice = buttonChoice(m_ctx.state);
    if (choice.changeLabel) {
        m_Label2->setText(choice.label2Text);
        if (choice.hideLabel2)
            m_Label2->hide();
    }
    m_Command5->setVisible(choice.showAgain);
}

void FrmSyuuryou::command4Click() {
    if (m_leaving)
        return;
    m_leaving = true;
    const Context ctx = m_ctx;
    m_Command4->setEnabled(false);
    ctx.platform.screens->show(screens::seisekitime1());
    ctx.platform.screens->close(screens::FrmSyuuryou());
    // A click while the activation still ran leaves the backdrop behind: take it away too.
    ctx.platform.screens->close(screens::BASEFRM());
    ctx.platform.events->processEvents();
}

void FrmSyuuryou::command5Click() {
    if (m_leaving)
        return;
    m_leaving = true;
    const Context ctx = m_ctx;
    m_Command4->setEnabled(false);
    ctx.platform.screens->show(screens::BASEFRM());
    ctx.platform.screens->close(screens::FrmSyuuryou());
    ctx.platform.events->processEvents();
    if (ctx.platform.app->endRequested())
        return;
    StartRun(ctx);
}

} // namespace mirai
