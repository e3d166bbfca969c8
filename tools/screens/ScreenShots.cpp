// The table of pictures: every screen, panel, message and dialog a user of the program meets. A new
// screen is one more line here, reached from a fresh start with the helpers below.

#include "Clock.h"
#include "Cp932.h"
#include "FileResultStore.h"
#include "FrmClassGrid.h"
#include "FrmPicture.h"
#include "MainFrm.h"
#include "Platform.h"
#include "RecordOffsets.h"
#include "ResultRecords.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "ScreenTour.h"
#include "SharedState.h"
#include "seisekitime1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace mirai::tour {

namespace {

namespace names = mirai::screens;

// People of the demo roster.
const QString kTeacher = u"★山口先生"_s;
const QString kStudent = u"木村　さくら"_s;
const QString kOtherStudent = u"佐藤　健太"_s;
// The random numbers start here before problems are drawn, so every tour shows the same problems.
constexpr std::uint64_t kProblemsStart = 20240;

// From a fresh start: `name` chosen on the name selection and confirmed, the results hub ready.
void signIn(Tour& t, const QString& name) {
    t.start();
    t.clickLine(names::namesel(), u"List1"_s, name);
    t.click(names::namesel(), u"Command14"_s);
    t.waitForScreen(names::seisekitime1());
    t.waitFor(
        [&t] {
            const auto* hub = t.screens().find<seisekitime1>(names::seisekitime1());
            return hub && hub->keysEnabled();
        },
        u"the results hub"_s);
}

// The teacher's hub with a display kind (Option2: 0 time, 1 points, 2 personal) and an order
// (Option1: 1..3); the hub opens on points in their first order.
void hubView(Tour& t, int kind, int order) {
    signIn(t, kTeacher);
    if (kind != 1)
        t.click(names::seisekitime1(), u"Option2(%1)"_s.arg(kind));
    if (order != 1)
        t.click(names::seisekitime1(), u"Option1(%1)"_s.arg(order));
    t.waitFor([&t] { return !t.control(names::seisekitime1(), u"Picture6"_s)->isVisible(); },
              u"the lists of the hub"_s);
    t.shoot();
}

// The teacher's password panel, open.
void openPasswordPanel(Tour& t) {
    signIn(t, kTeacher);
    t.click(names::seisekitime1(), u"Command8"_s);
    t.waitForShown(names::seisekitime1(), u"Picture7"_s);
}

// The password panel with the right password typed in.
void unlockTeacherTools(Tour& t) {
    openPasswordPanel(t);
    t.type(names::seisekitime1(), u"Text3"_s, t.state().DataChangePassword.toText());
}

void openRecordMaintenance(Tour& t) {
    unlockTeacherTools(t);
    t.click(names::seisekitime1(), u"Command10(0)"_s);
    t.waitForScreen(names::FrmData());
    t.waitForShown(names::FrmData(), u"List1"_s);
}

void openRecordForEdit(Tour& t) {
    openRecordMaintenance(t);
    t.key(names::FrmData(), u"List1"_s, Qt::Key_Return);
    t.waitForShown(names::FrmData(), u"Picture3"_s);
}

void openCriteriaEditor(Tour& t) {
    unlockTeacherTools(t);
    t.click(names::seisekitime1(), u"Command10(1)"_s);
    t.waitForScreen(names::FrmTimeData());
    t.waitFor([&t] { return !t.control(names::FrmTimeData(), u"Picture6"_s)->isVisible(); },
              u"the criteria table"_s);
}

void openPrintPreparation(Tour& t) {
    signIn(t, kTeacher);
    t.random().reseed(kProblemsStart);
    t.click(names::seisekitime1(), u"Command27"_s);
    t.waitForScreen(names::FormPrint0());
}

// The graph panel of the hub's personal display.
void openGraphs(Tour& t, const QString& name) {
    signIn(t, name);
    t.click(names::seisekitime1(), u"Option2(2)"_s);
    t.click(names::seisekitime1(), u"Command17"_s);
    t.waitForShown(names::seisekitime1(), u"Picture11"_s);
}

// A teachers' screen of the answer log, open and done reading the log.
template <class Shown> void waitForReading(Tour& t, const QString& name) {
    t.waitForScreen(name);
    t.waitFor(
        [&t, name] {
            const auto* screen = t.screens().find<Shown>(name);
            return screen && !screen->reading();
        },
        u"the answer log read"_s);
}

void showClassGrid(Tour& t) {
    signIn(t, kTeacher);
    t.click(names::seisekitime1(), u"classGridButton"_s);
    waitForReading<FrmClassGrid>(t, names::FrmClassGrid());
}

// The student's first run of level 1, its first problem shown.
MainFrm* startDrill(Tour& t) {
    signIn(t, kStudent);
    // Made before the level is chosen: it starts the random numbers from the clock when it is made.
    t.screens().load(names::MainFrm());
    t.random().reseed(kProblemsStart);
    t.key(names::seisekitime1(), QString(), Qt::Key_1);
    t.waitForScreen(names::MainFrm());
    auto* drill = t.screens().find<MainFrm>(names::MainFrm());
    if (!drill)
        Tour::fail(u"the drill screen is not open"_s);
    t.waitFor([drill] { return !drill->problem().textA.isEmpty(); }, u"the first problem"_s);
    return drill;
}

// Types the digits of the current problem's product and moves the point as far as it belongs.
void typeAnswer(Tour& t, MainFrm* drill) {
    const Problem& problem = drill->problem();
    const int marks = problem.marks;
    t.type(names::MainFrm(), QString(),
           QString::number(static_cast<int>(problem.OperandA * problem.OperandB)));
    for (int i = 0; i < marks; ++i)
        t.key(names::MainFrm(), QString(), Qt::Key_Left);
}

void answerRight(Tour& t, int count) {
    for (int i = 0; i < count; ++i) {
        auto* drill = t.screens().find<MainFrm>(names::MainFrm());
        if (!drill)
            Tour::fail(u"the drill ended early"_s);
        typeAnswer(t, drill);
        t.key(names::MainFrm(), QString(), Qt::Key_Space);
    }
}

// The shared result file out of reach for this station: a folder stands in its place.
void blockResultFile(Tour& t) {
    const QString path = t.resultFile();
    if (!QFile::remove(path) || !QDir().mkdir(path))
        Tour::fail(u"cannot put a folder in place of "_s + path);
}

// One run of the student waiting in this station's queue.
void queueOneRun(Tour& t) {
    ResultRecord record;
    const QDateTime now = t.context().platform.clock->now();
    record.RunDate = oleDate(now.date());
    record.RunTimeOfDay = oleTimeOfDay(QTime(now.time().hour(), now.time().minute()));
    record.StudentNumber = 7;
    record.Level = 1;
    record.Seconds = 58;
    record.SiteCode = cp932::fixedField(t.state().SiteCode, offsets::kTextBytes);
    // Where a run the share could not take waits: the station's queue file.
    QFile queue(StorePaths::of(t.state()).queue);
    if (!QDir().mkpath(QFileInfo(queue).absolutePath()) || !queue.open(QIODevice::Append) ||
        queue.write(encodeRecord(record)) != 44)
        Tour::fail(u"cannot queue a run on the station"_s);
}

} // namespace

const std::vector<Shot>& shotTable() {
    static const std::vector<Shot> table = {
        {u"splash"_s, u"起動画面 Firstfrm"_s,
         [](Tour& t) {
             t.launch();
             // Held up, or it hands over to the name selection at once.
             auto* timer = t.screen(names::Firstfrm())->findChild<QTimer*>(u"Timer1"_s);
             if (!timer)
                 Tour::fail(u"the splash screen has no Timer1"_s);
             timer->stop();
             t.shoot();
         }},
        {u"namesel"_s, u"名前の選択 namesel"_s,
         [](Tour& t) {
             t.start();
             t.shoot();
         }},
        {u"namesel-queue"_s,
         u"名前の選択：この端末に未送信の記録があり、共有フォルダーはロックを受け付けない"_s,
         [](Tour& t) {
             t.disk().setRefusing(true);
             t.launch();
             queueOneRun(t);
             t.waitForScreen(names::namesel());
             t.waitForShown(names::namesel(), u"lblStationNotice"_s);
             t.shoot();
         }},
        {u"frmver"_s, u"バージョン情報 frmver（名前の選択の題名をクリック）"_s,
         [](Tour& t) {
             t.start();
             t.shootModal([&t] { t.click(names::namesel(), u"Label4"_s); }, u"O.K."_s);
         }},
        {u"hub-student"_s, u"成績画面 seisekitime1：生徒（ﾎﾟｲﾝﾄ表示・合計累計）"_s,
         [](Tour& t) {
             signIn(t, kStudent);
             t.shoot();
         }},
        {u"hub-points-total"_s, u"成績画面：先生、ﾎﾟｲﾝﾄ表示・合計累計"_s, [](Tour& t) { hubView(t, 1, 1); }},
        {u"hub-points-today"_s, u"成績画面：先生、ﾎﾟｲﾝﾄ表示・合計本日"_s, [](Tour& t) { hubView(t, 1, 2); }},
        {u"hub-points-all"_s, u"成績画面：先生、ﾎﾟｲﾝﾄ表示・すべて"_s, [](Tour& t) { hubView(t, 1, 3); }},
        {u"hub-time-best"_s, u"成績画面：先生、ﾀｲﾑ表示・BEST表示"_s, [](Tour& t) { hubView(t, 0, 1); }},
        {u"hub-time-today"_s, u"成績画面：先生、ﾀｲﾑ表示・本日のみ"_s, [](Tour& t) { hubView(t, 0, 2); }},
        {u"hub-time-all"_s, u"成績画面：先生、ﾀｲﾑ表示・オール表示"_s, [](Tour& t) { hubView(t, 0, 3); }},
        {u"hub-personal"_s, u"成績画面：先生、個人ﾀｲﾑ"_s, [](Tour& t) { hubView(t, 2, 1); }},
        {u"hub-graph"_s, u"グラフ Picture11：生徒自身のグラフ"_s,
         [](Tour& t) {
             openGraphs(t, kStudent);
             t.shoot();
         }},
        {u"hub-graph-other"_s, u"グラフ Picture11：先生が「他の人のデータを見る」で生徒を選んだところ"_s,
         [](Tour& t) {
             openGraphs(t, kTeacher);
             t.click(names::seisekitime1(), u"Command25"_s);
             t.waitForShown(names::seisekitime1(), u"List2"_s);
             t.clickLine(names::seisekitime1(), u"List2"_s, kOtherStudent);
             t.shoot();
         }},
        {u"class-grid"_s, u"クラス一覧 FrmClassGrid（先生、成績画面から）"_s,
         [](Tour& t) {
             showClassGrid(t);
             t.shoot();
         }},
        {u"class-grid-sorted"_s, u"クラス一覧：レベル1の正答率の見出しをクリックして並べかえたところ"_s,
         [](Tour& t) {
             showClassGrid(t);
             // The title of the % right of the first level: a click sorts who needs help to the top.
             QHeaderView* header =
                 t.control<QTableView>(names::FrmClassGrid(), u"gridTable"_s)->horizontalHeader();
             const int section = ClassGridModel::kFirstLevelColumn + 2;
             QTest::mouseClick(
                 header->viewport(), Qt::LeftButton, Qt::NoModifier,
                 QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2));
             t.shoot();
         }},
        {u"picture"_s, u"答えの分析 FrmPicture（クラス一覧の最初の行で Enter）"_s,
         [](Tour& t) {
             showClassGrid(t);
             t.key(names::FrmClassGrid(), u"gridTable"_s, Qt::Key_Return);
             waitForReading<FrmPicture>(t, names::FrmPicture());
             t.shoot();
         }},
        {u"picture-from-graph"_s, u"答えの分析：グラフ Picture11 の「答えの分析」から、先生が選んだ生徒"_s,
         [](Tour& t) {
             openGraphs(t, kTeacher);
             t.click(names::seisekitime1(), u"Command25"_s);
             t.waitForShown(names::seisekitime1(), u"List2"_s);
             t.clickLine(names::seisekitime1(), u"List2"_s, kOtherStudent);
             t.click(names::seisekitime1(), u"pictureButton"_s);
             waitForReading<FrmPicture>(t, names::FrmPicture());
             t.key(names::FrmPicture(), QString(), Qt::Key_2);
             t.shoot();
         }},
        {u"hub-password"_s, u"パスワード Picture7（データ処理）"_s,
         [](Tour& t) {
             openPasswordPanel(t);
             t.shoot();
         }},
        {u"hub-password-wrong"_s, u"メッセージ：パスワードの誤り"_s,
         [](Tour& t) {
             openPasswordPanel(t);
             t.type(names::seisekitime1(), u"Text3"_s, u"abc"_s);
             t.shootModal([&t] { t.click(names::seisekitime1(), u"Command10(0)"_s); }, u"OK"_s);
         }},
        {u"frmdata"_s, u"記録の修正 FrmData"_s,
         [](Tour& t) {
             openRecordMaintenance(t);
             t.shoot();
         }},
        {u"frmdata-edit"_s, u"記録の修正：最後の記録を開いた編集欄 Picture3"_s,
         [](Tour& t) {
             openRecordForEdit(t);
             t.shoot();
         }},
        {u"frmdata-delete"_s, u"メッセージ：記録の消去の確認"_s,
         [](Tour& t) {
             openRecordForEdit(t);
             t.shootModal([&t] { t.click(names::FrmData(), u"Command3"_s); }, u"キャンセル"_s);
         }},
        {u"frmtimedata"_s, u"合格タイムデータの変更 FrmTimeData"_s,
         [](Tour& t) {
             openCriteriaEditor(t);
             t.shoot();
         }},
        {u"frmtimedata-leave"_s, u"メッセージ：変更した合格タイムデータを記録せずに戻る"_s,
         [](Tour& t) {
             openCriteriaEditor(t);
             t.type(names::FrmTimeData(), u"Gridinputtext"_s, u"5"_s);
             t.shootModal([&t] { t.click(names::FrmTimeData(), u"Command4"_s); }, u"いいえ"_s);
         }},
        {u"print-prep"_s, u"印刷の準備 FormPrint0"_s,
         [](Tour& t) {
             openPrintPreparation(t);
             t.shoot();
         }},
        {u"print-preview"_s, u"印刷 frmPrint（見本）"_s,
         [](Tour& t) {
             openPrintPreparation(t);
             t.click(names::FormPrint0(), u"Command1"_s);
             t.waitForScreen(names::frmPrint());
             t.shoot();
         }},
        {u"drill"_s, u"ドリル MainFrm：3問目、答えを入力中"_s,
         [](Tour& t) {
             MainFrm* drill = startDrill(t);
             answerRight(t, 2);
             typeAnswer(t, drill);
             t.shoot();
         }},
        {u"drill-wrong"_s, u"ドリル：まちがえた答えと正解、ヒント Picture2"_s,
         [](Tour& t) {
             startDrill(t);
             t.key(names::MainFrm(), QString(), Qt::Key_Space); // nothing typed: never right
             t.waitForShown(names::MainFrm(), u"seitouLabel"_s);
             t.waitForShown(names::MainFrm(), u"Picture2"_s);
             t.shoot();
         }},
        {u"drill-recording"_s, u"成績の記録中 BASEFRM"_s,
         [](Tour& t) {
             startDrill(t);
             answerRight(t, 9);
             t.shootWhen([&t] { return t.screens().isVisible(names::BASEFRM()); },
                         [&t] { answerRight(t, 1); });
         }},
        {u"drill-end"_s, u"終了画面 FrmSyuuryou（ボタンが出たところ）"_s,
         [](Tour& t) {
             startDrill(t);
             answerRight(t, 10);
             t.waitForScreen(names::FrmSyuuryou());
             t.waitForShown(names::FrmSyuuryou(), u"Command4"_s);
             t.shoot();
         }},
        {u"namesel-outage"_s, u"名前の選択：共有フォルダーに届かず、この端末の記録で表示している"_s,
         [](Tour& t) {
             t.start();
             blockResultFile(t);
             t.click(names::namesel(), u"Option1(0)"_s); // the list is built again, without the share
             t.waitForShown(names::namesel(), u"lblStationNotice"_s);
             t.shoot();
         }},
        {u"hub-outage"_s, u"成績画面：共有フォルダーに届かず、この端末の記録で表示している"_s,
         [](Tour& t) {
             t.start();
             blockResultFile(t);
             t.clickLine(names::namesel(), u"List1"_s, kStudent);
             t.click(names::namesel(), u"Command14"_s);
             t.waitForScreen(names::seisekitime1());
             t.waitForShown(names::seisekitime1(), u"lblStationNotice"_s);
             t.shoot();
         }},
        {u"hub-outage-teacher"_s,
         u"成績画面：先生、共有フォルダーに届かず、未送信の記録もある（知らせと先生のボタンが並ぶ下の帯）"_s,
         [](Tour& t) {
             t.start();
             queueOneRun(t);
             blockResultFile(t);
             t.clickLine(names::namesel(), u"List1"_s, kTeacher);
             t.click(names::namesel(), u"Command14"_s);
             t.waitForScreen(names::seisekitime1());
             t.waitForShown(names::seisekitime1(), u"lblStationNotice"_s);
             t.shoot();
         }},
        {u"setup"_s, u"はじめの設定 FrmSetup（パスデータがない端末の最初の起動）"_s,
         [](Tour& t) {
             t.start();
             t.shootModal([&t] { t.screens().showModal(names::FrmSetup(), t.screen(names::namesel())); },
                          u"やめる"_s);
         }},
        {u"roster"_s, u"名簿 FrmRoster（先生、データ処理から）"_s,
         [](Tour& t) {
             unlockTeacherTools(t);
             t.click(names::seisekitime1(), u"Command10(2)"_s);
             t.waitForScreen(names::FrmRoster());
             t.shoot();
         }},
        {u"drill-kept"_s, u"メッセージ：共有フォルダーに届かず、記録をこのコンピューターに保存した"_s,
         [](Tour& t) {
             startDrill(t);
             answerRight(t, 9);
             blockResultFile(t);
             t.shootModal([&t] { answerRight(t, 1); }, u"OK"_s);
         }},
    };
    return table;
}

} // namespace mirai::tour
