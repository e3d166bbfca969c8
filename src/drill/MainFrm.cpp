#include "MainFrm.h"

#include "AppControl.h"
#include "Clock.h"
#include "DrillArt.h"
#include "DrillFlow.h"
#include "EventPump.h"
#include "NumberText.h"
#include "Platform.h"
#include "Random.h"
#include "ResultRecords.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kBarLeft = 20;
constexpr int kBarTop = 116;
constexpr int kBarWidth = 984;
constexpr int kBarHeight = 22;
constexpr int kElapsedInset = 5; // the elapsed bar runs inside the others

const QColor kInk(30, 58, 95);
const QColor kSign(214, 120, 40);
const QColor kWrong(198, 40, 40);

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  const QFont& font, const QColor& colour,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    QLabel* label = ui::makeLabel(parent, name, text, geometry, font);
    label->setAlignment(alignment);
    ui::setTextColour(label, colour);
    label->setAttribute(Qt::WA_InputMethodEnabled, false);
    return label;
}

} // namespace

MainFrm::MainFrm(Context context, QWidget* parent)
    : Screen(parent), m_ctx(context), m_answers(context, *this) {
    setWindowTitle(u"velarix"_s);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setFocusPolicy(Qt::StrongFocus);

    buildStatusArea();
    buildProblemArea();
    buildEndPanel();

    m_sTimer1 = new QTimer(this);
    m_sTimer1->setObjectName(u"sTimer1"_s);
    m_sTimer1->setInterval(1000);
    connect(m_sTimer1, &QTimer::timeout, this, &MainFrm::sTimer1Tick);

    m_sTimer2 = new QTimer(this);
    m_sTimer2->setObjectName(u"sTimer2"_s);
    m_sTimer2->setInterval(10000);
    connect(m_sTimer2, &QTimer::timeout, this, &MainFrm::sTimer2Tick);
    m_sTimer2->start();

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(u"Timer1"_s);
    connect(m_Timer1, &QTimer::timeout, this, &MainFrm::timer1Tick);

    // Each load of the drill screen starts a new random sequence from the clock.
    const QDateTime now = m_ctx.platform.clock->now();
    m_ctx.platform.random->reseed(static_cast<std::uint64_t>(now.time().msecsSinceStartOfDay()));
}

MainFrm::~MainFrm() {
    setKeyFilter(false);
}

void MainFrm::buildStatusArea() {
    m_sPicture1 = new GradientPanel(QColor(28, 52, 92), QColor(36, 86, 128), 0, this);
    m_sPicture1->setObjectName(u"sPicture1"_s);
    m_sPicture1->setGeometry(0, 0, ui::kScreenWidth, 150);
    QWidget* p = m_sPicture1;
    const QColor white(255, 255, 255);
    const QColor soft(200, 220, 240);
    const QColor gold(255, 214, 102);

    m_sLabel2 = makeLabel(p, u"sLabel2"_s, QString(), QRect(20, 8, 260, 30), ui::uiFont(16.8, true), soft);
    m_sLabel8 = makeLabel(p, u"sLabel8"_s, QString(), QRect(20, 40, 260, 34), ui::uiFont(20, true), gold);
    m_sLabel7 = makeLabel(p, u"sLabel7"_s, QString(), QRect(20, 76, 270, 36), ui::uiFont(20, true), white);

    makeLabel(p, u"sLabel4"_s, u"残り"_s, QRect(300, 30, 64, 40), ui::uiFont(18), soft);
    m_sLabel9 = makeLabel(p, u"sLabel9"_s, QString(), QRect(362, 6, 100, 90), ui::uiFont(44, true), gold,
                          Qt::AlignRight | Qt::AlignVCenter);
    makeLabel(p, u"sLabel6"_s, u"問"_s, QRect(468, 30, 44, 40), ui::uiFont(18), soft);

    makeLabel(p, u"sLabel5"_s, u"タイム"_s, QRect(530, 30, 84, 40), ui::uiFont(18), soft);
    m_sLabel10 = makeLabel(p, u"sLabel10"_s, u"0"_s, QRect(612, 6, 120, 90), ui::uiFont(44, true), white,
                           Qt::AlignRight | Qt::AlignVCenter);

    const QFont small = ui::uiFont(14);
    const QFont figure = ui::uiFont(16, true);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const char16_t* captions[] = {u"起動後", u"分", u"本日", u"回目", u"このレベル", u"回目"};
    QLabel** figures[] = {&m_sLabel13, &m_sLabel12, &m_sLabel11};
    const char16_t* figureNames[] = {u"sLabel13", u"sLabel12", u"sLabel11"};
    for (int row = 0; row < 3; ++row) {
        const int y = 6 + row * 26;
        makeLabel(p, u"sLabel16(%1)"_s.arg(row * 2), QString::fromUtf16(captions[row * 2]),
                  QRect(770, y, 110, 26), small, soft);
        *figures[row] = makeLabel(p, QString::fromUtf16(figureNames[row]), QString(), QRect(872, y, 64, 26),
                                  figure, white, right);
        makeLabel(p, u"sLabel16(%1)"_s.arg(row * 2 + 1), QString::fromUtf16(captions[row * 2 + 1]),
                  QRect(944, y, 70, 26), small, soft);
    }
    m_sLabel14 = makeLabel(p, u"sLabel14"_s, QString(), QRect(770, 84, 244, 26), ui::uiFont(12), soft);

    // The time bar: the whole limit, the minimum line, the target, and the elapsed time on top.
    m_sShape5 = new ShapeBar(QColor(255, 255, 255, 46), QColor(255, 255, 255, 110), p);
    m_sShape5->setObjectName(u"sShape5"_s);
    m_sShape5->setGeometry(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    m_sShape4 = new ShapeBar(QColor(245, 176, 65, 190), Qt::transparent, p);
    m_sShape4->setObjectName(u"sShape4"_s);
    m_sShape4->setGeometry(kBarLeft, kBarTop, 0, kBarHeight);
    m_sShape3 = new ShapeBar(QColor(88, 214, 141, 220), Qt::transparent, p);
    m_sShape3->setObjectName(u"sShape3"_s);
    m_sShape3->setGeometry(kBarLeft, kBarTop, 0, kBarHeight);
    m_sShape7 = new ShapeBar(QColor(255, 255, 255), Qt::transparent, p);
    m_sShape7->setObjectName(u"sShape7"_s);
    m_sShape7->setGeometry(kBarLeft, kBarTop, 0, kBarHeight);
    m_sShape2 = new ShapeBar(QColor(235, 248, 255), QColor(120, 190, 235), p);
    m_sShape2->setObjectName(u"sShape2"_s);
    m_sShape2->setGeometry(kBarLeft, kBarTop + kElapsedInset, 0, kBarHeight - 2 * kElapsedInset);
}

void MainFrm::buildProblemArea() {
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    m_qLabel1 =
        makeLabel(this, u"qLabel1"_s, u"3×2"_s, QRect(30, 176, 390, 150), ui::uiFont(90, true), kInk, right);
    m_Label6 = makeLabel(this, u"Label6"_s, u"label1"_s, QRect(420, 176, 110, 150), ui::uiFont(72, true),
                         kSign, centre);
    m_qlabel2 =
        makeLabel(this, u"qlabel2"_s, u"qLabel1"_s, QRect(534, 176, 460, 150), ui::uiFont(90, true), kInk);

    makeLabel(this, u"Label2"_s, u"="_s, QRect(420, 346, 110, 150), ui::uiFont(72, true), kSign, centre);
    m_inputLabel = makeLabel(this, u"inputLabel"_s, u"inputLabel"_s, QRect(530, 352, 470, 140),
                             ui::uiFont(90, true), kInk);
    m_inputLabel->setIndent(18);
    m_inputLabel->setStyleSheet(u"QLabel#inputLabel { background: rgba(255,255,255,235);"
                                u" border: 3px solid rgb(91,143,208); border-radius: 18px; }"_s);

    m_Label11 = makeLabel(this, u"Label11"_s, u"="_s, QRect(420, 506, 110, 110), ui::uiFont(54, true), kWrong,
                          centre);
    m_Label11->hide();
    m_seitouLabel = makeLabel(this, u"seitouLabel"_s, u"seitouLabel"_s, QRect(530, 506, 470, 110),
                              ui::uiFont(66, true), kWrong);
    m_seitouLabel->setIndent(18);
    m_seitouLabel->hide();

    m_Commandkakunin2 = makeLabel(this, u"Commandkakunin2"_s, u"\"+\"を２回押しなさい"_s,
                                  QRect(530, 626, 470, 50), ui::uiFont(20, true), kWrong, centre);
    m_Commandkakunin2->setStyleSheet(u"QLabel#Commandkakunin2 { background: rgb(255,244,214);"
                                     u" border: 2px solid rgb(240,190,90); border-radius: 12px; }"_s);
    m_Commandkakunin2->hide();

    m_Commandkakunin = new QPushButton(u"確認"_s, this);
    m_Commandkakunin->setObjectName(u"Commandkakunin"_s);
    m_Commandkakunin->setGeometry(820, 690, 90, 36);
    m_Commandkakunin->setFocusPolicy(Qt::NoFocus);
    m_Commandkakunin->hide();
    connect(m_Commandkakunin, &QPushButton::clicked, this, [this] { m_answers.確認(); });
    auto* cmdOk = new QPushButton(u"O.K."_s, this);
    cmdOk->setObjectName(u"CmdOK"_s);
    cmdOk->setGeometry(914, 690, 90, 36);
    cmdOk->setFocusPolicy(Qt::NoFocus);
    cmdOk->hide();

    const QColor note(70, 90, 115);
    makeLabel(this, u"Label10"_s, u"数字を入力後、"_s, QRect(40, 700, 250, 44), ui::uiFont(20), note,
              Qt::AlignRight | Qt::AlignVCenter);
    makeLabel(this, u"Label9"_s, u"矢印キーで小数点を移動しなさい"_s, QRect(290, 700, 560, 44),
              ui::uiFont(20, true), note);

    // The hint panel: the digit product, one hop for each place the point moves, and the text.
    m_Picture2 = new GradientPanel(QColor(255, 253, 240, 240), QColor(255, 245, 214, 240), 20, this);
    m_Picture2->setObjectName(u"Picture2"_s);
    m_Picture2->setBorder(QColor(240, 200, 110), 3);
    m_Picture2->setGeometry(30, 360, 370, 260);
    makeLabel(m_Picture2, u"hintCaption"_s, u"ヒント"_s, QRect(18, 12, 120, 34), ui::uiFont(16, true),
              QColor(190, 130, 40));
    m_Label1 = makeLabel(m_Picture2, u"Label1"_s, u"454545."_s, QRect(16, 14, 330, 90), ui::uiFont(48, true),
                         kInk, right);
    const QPixmap mark = hopMark(QSize(58, 46), kSign);
    for (int i = 1; i <= 5; ++i) {
        auto* image = new QLabel(m_Picture2);
        image->setObjectName(u"Image1(%1)"_s.arg(i));
        image->setPixmap(mark);
        image->setGeometry(300 - (i - 1) * 58, 110, 58, 46);
        m_Image1[static_cast<std::size_t>(i)] = image;
    }
    m_Label5 = makeLabel(m_Picture2, u"Label5"_s, u"Label5"_s, QRect(16, 176, 338, 60), ui::uiFont(22, true),
                         QColor(150, 80, 20), centre);
    m_Picture2->hide();
}

void MainFrm::buildEndPanel() {
    m_sPicture2 = new GradientPanel(QColor(20, 36, 60, 170), QColor(20, 36, 60, 200), 0, this);
    m_sPicture2->setObjectName(u"sPicture2"_s);
    m_sPicture2->setGeometry(0, 0, ui::kScreenWidth, ui::kScreenHeight);
    auto* card = new GradientPanel(QColor(255, 255, 255), QColor(228, 238, 250), 28, m_sPicture2);
    card->setBorder(QColor(120, 170, 220), 4);
    card->setGeometry(212, 284, 600, 200);
    m_lblsss1 = makeLabel(card, u"lblsss1"_s, u"成績記録中"_s, QRect(0, 0, 600, 200), ui::uiFont(54, true),
                          kInk, Qt::AlignCenter);
    m_lblsss2 = makeLabel(card, u"lblsss2"_s, u"時間切れ"_s, QRect(0, 0, 600, 200), ui::uiFont(54, true),
                          kWrong, Qt::AlignCenter);
    m_sPicture2->hide();
}

void MainFrm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBackdrop(painter, rect(), Backdrop::Drill);
}

// ---- activation and set-up ----

void MainFrm::activate() {
    QPointer<MainFrm> self(this);
    m_sPicture2->move(0, 0);
    初期設定();
    if (!self)
        return;
    レベル別設定();
    スタート();
    問題作成表示();
    setKeyFilter(true);
    setFocus(Qt::OtherFocusReason);
}

void MainFrm::初期設定() {
    SharedState& state = m_ctx.state;
    ScreenManager& screens = *m_ctx.platform.screens;
    screens.close(screens::seisekitime1());
    screens.close(screens::BASEFRM());

    state.RunFinished = 0;
    state.Recording = 0;
    m_answers.resetJudgement();
    m_answers.clearInput();
    state.ElapsedSeconds = 0;

    const LevelCriteriaRow row = isLevelIndex(state.CurrentLevel)
                                     ? state.LevelCriteria[static_cast<std::size_t>(state.CurrentLevel)]
                                     : LevelCriteriaRow{};
    state.TimeLimit = toInt32(5.0 * row.MinimumLineSeconds);
    m_sLabel10->setText(u"0"_s);
    // A level without a minimum line has no time limit to scale by: its marks stay empty.
    state.TimeScale = state.TimeLimit > 0 ? static_cast<double>(m_sShape5->width()) / state.TimeLimit : 0.0;
    const QPoint origin = m_sShape5->pos();
    for (ShapeBar* shape : {m_sShape3, m_sShape4, m_sShape7})
        shape->move(origin);
    m_sShape2->move(origin.x(), origin.y() + kElapsedInset);
    m_sShape2->setBarWidth(0);
    m_sShape7->setBarWidth(0);
    const double full = m_sShape5->width();
    m_sShape3->setBarWidth(std::min(full, row.TargetSeconds * state.TimeScale));
    m_sShape4->setBarWidth(std::min(full, row.MinimumLineSeconds * state.TimeScale));

    m_sLabel2->setFont(ui::uiFont(state.ProgramTitle.size() >= 10 ? 14.0 : 14.0 * 1.2, true));
    m_sLabel2->setText(state.ProgramTitle);

    m_sLabel7->setText(trimBlanks(state.StudentName));
    m_sLabel8->setText(isLevelIndex(state.CurrentLevel)
                           ? state.LevelNames[static_cast<std::size_t>(state.CurrentLevel)]
                           : QString());
    const bool known = isLevelIndex(state.CurrentLevel) && isStudentNumber(state.StudentNumber);
    const double runsOfLevel = known ? state.RunCountToday(state.CurrentLevel, state.StudentNumber) : 0.0;
    const std::int16_t runsToday = runsTodayOfStudent(state, 15);

    m_sLabel14->setText(state.SiteName);
    m_sLabel13->setText(QString::number(
        minutesSinceSessionStart(m_ctx.platform.clock->secondsSinceMidnight(), state.SessionStart)));
    m_sLabel12->setText(QString::number(runsToday + 1));
    m_sLabel11->setText(numberText(runsOfLevel + 1));
    state.ProblemsPerRun = 10;
}

void MainFrm::レベル別設定() {
    m_sLabel9->setText(QString::number(m_ctx.state.ProblemsPerRun - m_ctx.state.CorrectCount));
}

void MainFrm::スタート() {
    m_ctx.state.RunStart = m_ctx.platform.clock->tickMs();
    m_sTimer1->start();
}

// ---- problems ----

void MainFrm::問題作成表示() {
    SharedState& state = m_ctx.state;
    if (state.TimedOut != 0 || state.RunFinished != 0 || state.JudgingBusy != 0)
        return;
    m_qLabel1->setText(QString());
    m_inputLabel->setText(QString());
    m_Timer1->stop();
    m_Label11->hide();
    const int kind = problemKind(state.CurrentLevel);
    m_Picture2->hide();

    m_problem = makeProblem(*m_ctx.platform.random, kind);
    m_qLabel1->setText(m_problem.textA);
    m_qlabel2->setText(m_problem.textB);
    m_Label6->setText(u"×"_s);

    m_Label1->setText(m_problem.hintProduct);
    fitLabelFont(m_Label1, 48);
    for (int i = 1; i <= 5; ++i)
        m_Image1[static_cast<std::size_t>(i)]->setVisible(i <= m_problem.marks);
    m_Label5->setText(m_problem.hintText);

    m_Timer1->setInterval(hintDelayMs(state.CorrectCount, state.ProblemsPerRun));
    m_Timer1->start();
    m_answers.setCorrectAnswer(m_problem.AnswerText);
    m_problemShownMs = m_ctx.platform.clock->tickMs();
    m_hintShown = false;
}

void MainFrm::timer1Tick() {
    m_Timer1->stop();
    m_Picture2->show();
    m_hintShown = true;
}

// ---- run clock ----

void MainFrm::setElapsedBar(double width) {
    m_sShape2->setBarWidth(std::min<double>(width, m_sShape5->width()));
}

void MainFrm::sTimer1Tick() {
    SharedState& state = m_ctx.state;
    state.ElapsedSeconds = elapsedRunSeconds(m_ctx.platform.clock->tickMs(), state.RunStart);
    m_sLabel10->setText(QString::number(state.ElapsedSeconds));
    if (state.ElapsedSeconds < state.TimeLimit)
        setElapsedBar(state.ElapsedSeconds * state.TimeScale);
    if (!letPaint())
        return;
    if (state.ElapsedSeconds < state.TimeLimit) {
        setElapsedBar(state.ElapsedSeconds * state.TimeScale);
        return;
    }
    m_sShape2->setBarWidth(m_sShape5->width());
    // A judgement in progress keeps its answer: the time-out waits for the next tick.
    if (state.Recording == 0 && state.RunFinished == 0 && state.JudgingBusy == 0) {
        state.TimedOut = 1;
        m_sTimer1->stop();
        FinishRun();
        return;
    }
    letPaint();
}

void MainFrm::sTimer2Tick() {
    m_sLabel13->setText(QString::number(
        minutesSinceSessionStart(m_ctx.platform.clock->secondsSinceMidnight(), m_ctx.state.SessionStart)));
}

bool MainFrm::FinishRun() {
    const Context ctx = m_ctx;
    SharedState& state = ctx.state;
    if (!letPaint())
        return false;
    if (state.Recording == 1)
        return true;
    state.Recording = 1;
    m_Timer1->stop();
    const bool timedOut = state.TimedOut == 1;
    m_lblsss2->setVisible(timedOut);
    m_lblsss1->setVisible(!timedOut);
    m_sPicture2->show();
    m_sPicture2->raise();
    if (!letPaint())
        return false;

    m_sTimer1->stop();
    state.RunSeconds = state.TimedOut != 0 ? kNoRecordSeconds : state.ElapsedSeconds;
    // From here on this screen may be closed under us: only the context is used.
    if (!RecordRunResult(ctx, state.CurrentLevel))
        return false;
    ScreenManager& screens = *ctx.platform.screens;
    screens.show(screens::BASEFRM());
    ctx.platform.events->processEvents();
    if (ctx.platform.app->endRequested())
        return false;
    if (!WaitSeconds(ctx, 1))
        return false;
    screens.close(screens::MainFrm());
    screens.show(screens::FrmSyuuryou());
    return !ctx.platform.app->endRequested();
}

// ---- answers ----

void MainFrm::showInput(const QString& text) {
    m_inputLabel->setText(text);
    fitLabelFont(m_inputLabel, 90);
}

void MainFrm::showCorrectAnswer(const QString& text) {
    m_seitouLabel->setText(text);
    fitLabelFont(m_seitouLabel, 66);
    m_seitouLabel->show();
    m_Label11->show();
}

void MainFrm::hideCorrectAnswer() {
    m_seitouLabel->hide();
    m_Label11->hide();
}

void MainFrm::setAcknowledgePromptVisible(bool visible) {
    m_Commandkakunin2->setVisible(visible);
}

void MainFrm::showRemaining(int remaining) {
    m_sLabel9->setText(QString::number(remaining));
}

bool MainFrm::letPaint() {
    QPointer<MainFrm> self(this);
    const Platform& platform = m_ctx.platform;
    platform.events->processEvents();
    return self && !platform.app->endRequested();
}

bool MainFrm::makeNextProblem() {
    問題作成表示();
    return true;
}

void MainFrm::answerJudged(const QString& typed, bool right) {
    SharedState& state = m_ctx.state;
    const std::int64_t ms =
        std::clamp<std::int64_t>(m_ctx.platform.clock->tickMs() - m_problemShownMs, 0, UINT32_MAX);
    state.RunAnswers.push_back(judgedAnswer(m_problem, typed, right, static_cast<std::uint32_t>(ms),
                                            m_hintShown, static_cast<int>(state.RunAnswers.size()) + 1));
}

void MainFrm::closing() {
    if (m_ctx.state.Recording == 0 && !m_ctx.state.RunAnswers.empty())
        RecordLeftRun(m_ctx);
}

bool MainFrm::completeRun() {
    m_sTimer1->stop();
    m_ctx.state.RunFinished = 1;
    FinishRun();
    return false;
}

// ---- keys ----

void MainFrm::setKeyFilter(bool on) {
    if (on == m_keyFilterOn || !qApp)
        return;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
    m_keyFilterOn = on;
}

bool MainFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    // Only keys aimed at this screen: a message box over it keeps its own keys.
    if (!isOnThisScreen(watched))
        return false;
    return handleKey(static_cast<QKeyEvent*>(event));
}

bool MainFrm::handleKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        m_answers.arrowKey(keycode::Left);
        return true;
    case Qt::Key_Up:
        m_answers.arrowKey(keycode::Up);
        return true;
    case Qt::Key_Right:
        m_answers.arrowKey(keycode::Right);
        return true;
    default:
        break;
    }
    QString text = event->text();
    if (text.isEmpty() && event->key() == Qt::Key_Backspace)
        text = QString(QChar(8));
    QPointer<MainFrm> self(this);
    for (QChar ch : text) {
        if (!self || !m_answers.typeCharacter(ch.unicode()))
            break;
    }
    return true;
}

} // namespace mirai
