#include "ScreenTour.h"

#include "AppControl.h"
#include "Configuration.h"
#include "Cp932.h"
#include "Platform.h"
#include "ProgramScreens.h"
#include "RecordOffsets.h"
#include "ResultRecords.h"
#include "Screen.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "Stage.h"
#include "UiSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QThread>
#include <QWindow>
#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace mirai::tour {

namespace {

constexpr int kPollMs = 10;
// A window shown this long has been painted.
constexpr qint64 kPaintedMs = 150;
// Time for timers, layouts and paints to run before the display is pictured.
constexpr int kSettleMs = 200;
// A shot still running after this long hangs: its program is ended.
constexpr qint64 kShotLimitMs = 60000;

QString oneLine(QString text) {
    text.replace(u"\r\n"_s, u" "_s);
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

LockResult OutageFiles::tryLock(int fd, int& error) {
    if (!m_refusing)
        return SystemFileSystem::tryLock(fd, error);
    error = ENOLCK;
    return LockResult::Error;
}

// One program: its state, screen manager and end, over the tour's adapters, in a full-screen stage
// as main() makes it.
struct Tour::Station {
    explicit Station(Tour& tour) {
        platform.clock = &tour.m_clock;
        platform.random = &tour.m_random;
        platform.media = &tour.m_media;
        platform.messages = &tour.m_messages;
        platform.events = &tour.m_events;
        platform.disk = &tour.m_disk;
        platform.launcher = &tour.m_launcher;
        platform.app = &app;
        platform.screens = &screens;
        platform.files = &tour.m_files;
        platform.printing = &tour.m_printing;
        state->QueueFolder = tour.m_stationFolder.path() + u'/';

        stage = std::make_unique<Stage>([shared = state.get()] { return ui::fromBgr(shared->SeasonColour); });
        stage->setWindowTitle(QApplication::applicationName());
        if (const QScreen* display = QGuiApplication::primaryScreen())
            stage->setGeometry(display->geometry());
        stage->showFullScreen();
        screens.setStage(stage.get());
        registerProgramScreens(screens, Context{*state, platform}, tour.m_appFolder);
    }
    ~Station() {
        screens.closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    ScreenManager screens;
    QtAppControl app{screens};
    Platform platform;
    std::unique_ptr<Stage> stage;
};

Tour::Tour(QString appFolder, QString outFolder, QSize display)
    : m_appFolder(std::move(appFolder)), m_outFolder(std::move(outFolder)), m_display(display) {
    m_since.start();
    m_poll.setInterval(kPollMs);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
    m_poll.start();
}

Tour::~Tour() {
    m_poll.stop();
    m_station.reset();
    m_original.restore();
}

bool Tour::prepare(QString* error) {
    SharedState probe;
    if (auto problem = LoadConfiguration(probe, m_appFolder)) {
        *error = problem->message;
        return false;
    }
    m_dataFolder = probe.DataFolder;
    if (!m_stationFolder.isValid()) {
        *error = u"no temporary folder for the station: "_s + m_stationFolder.errorString();
        return false;
    }
    if (!m_original.take(m_dataFolder) || !addTodaysRuns(probe, error) || !m_data.take(m_dataFolder)) {
        if (error->isEmpty())
            *error = u"cannot read the data folder "_s + m_dataFolder;
        return false;
    }
    if (!QDir().mkpath(m_outFolder)) {
        *error = u"cannot make "_s + m_outFolder;
        return false;
    }
    return true;
}

// A few runs earlier today, so that today's lists and figures have lines to show.
bool Tour::addTodaysRuns(const SharedState& probe, QString* error) {
    struct Run {
        std::int16_t student, level;
        std::int32_t seconds;
        int minutesAgo;
    };
    static const Run runs[] = {{3, 1, 52, 95}, {10, 1, 41, 80}, {5, 2, 78, 70},  {12, 1, 38, 60},
                               {7, 1, 47, 45}, {14, 2, 66, 30}, {10, 2, 71, 20}, {3, 1, 49, 10}};
    const QDateTime now = m_clock.now();
    const int nowSeconds = now.time().msecsSinceStartOfDay() / 1000;
    QByteArray bytes;
    for (const Run& run : runs) {
        ResultRecord record;
        record.RunDate = oleDate(now.date());
        record.RunTimeOfDay =
            oleTimeOfDay(QTime(0, 0).addSecs(std::max(0, nowSeconds - run.minutesAgo * 60)));
        record.StudentNumber = run.student;
        record.Level = run.level;
        record.Seconds = run.seconds;
        record.SiteCode = cp932::fixedField(probe.SiteCode, offsets::kTextBytes);
        bytes += encodeRecord(record);
    }
    QFile file(resultFilePath(probe));
    if (!file.open(QIODevice::Append) || file.write(bytes) != bytes.size()) {
        *error = u"cannot add today's runs to "_s + file.fileName();
        return false;
    }
    return true;
}

int Tour::run(const std::vector<Shot>& shots, const QStringList& only) {
    int failed = 0;
    for (std::size_t i = 0; i < shots.size(); ++i) {
        const Shot& shot = shots[i];
        if (m_stopped)
            break;
        if (!only.isEmpty() && !only.contains(shot.name))
            continue;
        m_current.emplace();
        m_current->file = shotFileName(static_cast<int>(i) + 1, shot.name);
        m_current->clock.start();
        m_disk.setRefusing(false);
        if (!m_data.restore() || !QDir(m_stationFolder.path()).removeRecursively() ||
            !QDir().mkpath(m_stationFolder.path()))
            m_current->failures.append(u"the data folder could not be put back"_s);
        try {
            shot.reach(*this);
            if (!m_current->pictured)
                fail(u"the shot took no picture"_s);
        } catch (const ShotFailure& failure) {
            m_current->failures.append(failure.what);
        }
        m_capture.reset();
        if (!m_current->failures.isEmpty() && !m_current->pictured && m_station)
            takePicture(QFileInfo(m_current->file).completeBaseName() + u".failed.png"_s);
        finishShot();

        const QString file = m_current->file;
        std::printf("  %-32s %5.1f s\n", qPrintable(file), m_current->clock.elapsed() / 1000.0);
        std::fflush(stdout);
        for (const QString& failure : m_current->failures)
            std::fprintf(stderr, "screens: %s: %s\n", qPrintable(file), qPrintable(failure));
        if (!m_current->failures.isEmpty())
            ++failed;
        m_current.reset();
    }
    // A screen added to the program without a shot of its own shows here.
    if (only.isEmpty() && !m_stopped) {
        for (const QString& name : std::as_const(m_registered)) {
            if (!m_pictured.contains(name)) {
                std::fprintf(stderr, "screens: no picture shows the screen %s\n", qPrintable(name));
                ++failed;
            }
        }
    }
    return failed;
}

void Tour::stop() {
    m_stopped = true;
    if (m_current)
        m_current->failures.append(u"interrupted"_s);
    if (m_station && !m_station->app.endRequested())
        m_station->app.endProgram();
}

void Tour::finishShot() {
    if (!m_station)
        return;
    const bool ended = m_station->app.endRequested();
    m_station.reset();
    if (ended) {
        // Ending the program asked every event loop to stop, the coming ones too; a short run of
        // the application's own loop clears that, so the next program's message boxes wait again.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
}

void Tour::fail(const QString& what) {
    throw ShotFailure{what};
}

Context Tour::context() {
    if (!m_station)
        fail(u"no program runs"_s);
    return Context{*m_station->state, m_station->platform};
}

SharedState& Tour::state() {
    return context().state;
}

ScreenManager& Tour::screens() {
    if (!m_station)
        fail(u"no program runs"_s);
    return m_station->screens;
}

QString Tour::resultFile() const {
    return m_dataFolder + QString::fromUtf16(files::kResults);
}

void Tour::launch() {
    m_station.reset();
    m_station = std::make_unique<Station>(*this);
    if (m_registered.isEmpty())
        m_registered = m_station->screens.registeredNames();
    waitFor(
        [this] {
            const QWindow* window = m_station->stage->windowHandle();
            return window && window->isExposed();
        },
        u"the full-screen stage"_s);
    m_station->screens.show(screens::Firstfrm());
    afterAction();
}

void Tour::start() {
    launch();
    waitForScreen(screens::namesel());
    waitFor([this] { return !control(screens::namesel(), u"Picture5"_s)->isVisible(); }, u"the name list"_s);
}

QWidget* Tour::screen(const QString& name) {
    QWidget* found = screens().find(name);
    if (!found)
        fail(name + u" is not open"_s);
    return found;
}

QWidget* Tour::control(const QString& screen, const QString& name) {
    auto* widget = this->screen(screen)->findChild<QWidget*>(name);
    if (!widget)
        fail(u"no control "_s + name + u" on "_s + screen);
    return widget;
}

void Tour::click(const QString& screen, const QString& name) {
    QWidget* widget = control(screen, name);
    if (!widget->isVisible() || !widget->isEnabled())
        fail(name + u" on "_s + screen + u" is hidden or disabled"_s);
    QPoint at = widget->rect().center();
    const bool radio = qobject_cast<QRadioButton*>(widget) != nullptr;
    if (radio || qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(widget);
        at = widget->style()
                 ->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                                  &option, widget)
                 .center();
    }
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    afterAction();
}

void Tour::clickLine(const QString& screen, const QString& name, const QString& text) {
    auto* list = control<QListWidget>(screen, name);
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchContains);
    if (found.isEmpty())
        fail(u"no line with "_s + text + u" in "_s + name);
    list->scrollToItem(found.first());
    settle(50);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(found.first()).center());
    afterAction();
}

void Tour::key(const QString& screen, const QString& name, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = name.isEmpty() ? this->screen(screen) : control(screen, name);
    QTest::keyClick(target, key, modifiers);
    afterAction();
}

void Tour::type(const QString& screen, const QString& name, const QString& text) {
    QWidget* target = name.isEmpty() ? this->screen(screen) : control(screen, name);
    QTest::keyClicks(target, text);
    afterAction();
}

// Back in the event loop after a handler, as between two keys of a user: timers that are due run,
// and screens closed meanwhile go.
void Tour::afterAction() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (m_station && m_station->app.endRequested())
        fail(u"the program ended"_s);
}

void Tour::waitFor(const std::function<bool()>& done, const QString& what, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        afterAction();
        if (done())
            return;
        if (waited.elapsed() > timeoutMs)
            fail(u"timed out waiting for "_s + what);
        QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMs);
        QThread::msleep(2);
    }
}

void Tour::waitForScreen(const QString& name) {
    waitFor([this, name] { return screens().current() == name && screens().isVisible(name); }, name);
}

void Tour::waitForShown(const QString& screen, const QString& name) {
    waitFor([this, screen, name] { return control(screen, name)->isVisible(); }, name + u" on "_s + screen);
}

void Tour::settle(int ms) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMs);
        QThread::msleep(2);
    }
    afterAction();
}

void Tour::shoot() {
    settle(kSettleMs);
    takePicture(m_current->file);
}

void Tour::shootModal(const std::function<void()>& action, const QString& answer) {
    m_capture = Capture{{}, answer};
    action();
    const bool taken = m_capture && m_capture->taken;
    m_capture.reset();
    if (!taken)
        fail(u"no message or dialog appeared"_s);
}

void Tour::shootWhen(const std::function<bool()>& ready, const std::function<void()>& action) {
    m_capture = Capture{ready, {}};
    action();
    waitFor([this] { return m_capture->taken; }, u"the moment to picture"_s);
    m_capture.reset();
}

void Tour::takePicture(const QString& file) {
    if (m_station && m_station->stage)
        m_station->stage->repaint();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture = screen ? screen->grabWindow(0) : QPixmap();
    if (picture.isNull()) {
        m_current->failures.append(u"the display could not be grabbed"_s);
        return;
    }
    if (picture.size() != m_display)
        m_current->failures.append(u"the picture of "_s + file + u" is "_s + sizeFolderName(picture.size()) +
                                   u", not the display's "_s + sizeFolderName(m_display));
    if (!picture.save(QDir(m_outFolder).filePath(file), "PNG"))
        m_current->failures.append(u"cannot write "_s + QDir(m_outFolder).filePath(file));
    if (file != m_current->file)
        return;
    m_current->pictured = true;
    for (const QString& name : std::as_const(m_registered)) {
        if (m_station && m_station->screens.isVisible(name))
            m_pictured.insert(name);
    }
}

// Watches for blocking windows and the moments a shot waits for; runs inside the program's own
// loops too (a message box's), so it never throws.
void Tour::poll() {
    if (!m_current || !m_station)
        return;
    const qint64 now = m_since.elapsed();
    if (!m_current->abandoned && m_current->clock.elapsed() > kShotLimitMs) {
        m_current->abandoned = true;
        m_current->failures.append(
            u"still running after %1 s: the program was ended"_s.arg(kShotLimitMs / 1000));
        m_station->app.endProgram();
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    const bool modalShown = modal && modal != m_answered && modal->isVisible() && modal->windowHandle() &&
                            modal->windowHandle()->isExposed();

    if (m_capture && !m_capture->taken) {
        const bool wantsWindow = !m_capture->ready;
        bool ready = modalShown;
        if (!wantsWindow) {
            try {
                ready = m_capture->ready();
            } catch (const ShotFailure&) {
                ready = false;
            }
        }
        if (ready) {
            if (m_capture->readySince < 0)
                m_capture->readySince = now;
            if (now - m_capture->readySince >= kPaintedMs) {
                if (wantsWindow)
                    modal->repaint();
                takePicture(m_current->file);
                m_capture->taken = true;
                if (wantsWindow)
                    answer(modal, m_capture->answer);
            }
            return;
        }
        m_capture->readySince = -1;
        if (wantsWindow)
            return;
    }
    if (!modalShown) {
        m_unexpected = nullptr;
        return;
    }
    meetUnexpected(modal);
}

void Tour::meetUnexpected(QWidget* window) {
    const qint64 now = m_since.elapsed();
    if (m_unexpected != window) {
        m_unexpected = window;
        m_unexpectedSince = now;
        return;
    }
    if (now - m_unexpectedSince < kPaintedMs)
        return;
    window->repaint();
    takePicture(u"%1.unexpected-%2.png"_s.arg(QFileInfo(m_current->file).completeBaseName())
                    .arg(++m_unexpectedCount));
    const auto* box = qobject_cast<QMessageBox*>(window);
    m_current->failures.append(
        u"a window nobody expected: "_s +
        oneLine(box ? box->text() : window->objectName() + u' ' + window->windowTitle()));
    m_unexpected = nullptr;
    answer(window, QString());
}

QAbstractButton* answerButton(const QMessageBox& box, const QString& text) {
    const QList<QAbstractButton*> buttons = box.buttons();
    for (QAbstractButton* button : buttons) {
        const QMessageBox::ButtonRole role = box.buttonRole(button);
        if (text.isEmpty() ? role == QMessageBox::RejectRole || role == QMessageBox::NoRole
                           : button->text() == text)
            return button;
    }
    return text.isEmpty() && !buttons.isEmpty() ? buttons.first() : nullptr;
}

// Answers a blocking window with the button of that text; without one, with the answer that changes
// nothing (cancel, no) where there is one.
void Tour::answer(QWidget* window, const QString& text) {
    m_answered = window;
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        QAbstractButton* chosen = answerButton(*box, text);
        if (!chosen) {
            m_current->failures.append(u"the message has no button "_s + text);
            chosen = answerButton(*box, QString());
        }
        if (chosen)
            chosen->click();
        else
            box->reject();
        return;
    }
    const QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (!text.isEmpty() && button->text() == text && button->isVisible()) {
            button->click();
            return;
        }
    }
    if (!text.isEmpty())
        m_current->failures.append(u"the dialog has no button "_s + text);
    if (qobject_cast<Screen*>(window) && m_station)
        m_station->screens.close(window->objectName());
    else
        window->close();
}

} // namespace mirai::tour
