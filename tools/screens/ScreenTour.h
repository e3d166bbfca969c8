#pragma once

#include "Clock.h"
#include "Context.h"
#include "DesktopPlatform.h"
#include "EventPump.h"
#include "FileSystem.h"
#include "ProcessLauncher.h"
#include "QtPrintService.h"
#include "Random.h"
#include "ShotFiles.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QMessageBox;

namespace mirai {
class ScreenManager;
struct SharedState;
} // namespace mirai

namespace mirai::tour {

// Why a shot could not be taken: its screen did not come, a control was missing, the program ended.
struct ShotFailure {
    QString what;
};

// The station's real files and locks, except while the tour plays a shared folder that refuses
// locks (as a share mounted without lock support does).
class OutageFiles final : public SystemFileSystem {
public:
    LockResult tryLock(int fd, int& error) override;
    void setRefusing(bool refusing) { m_refusing = refusing; }

private:
    bool m_refusing = false;
};

// The button that answers a message box: the one whose text is `text`; without a text, the one
// that changes nothing (cancel, no) where there is one, else the first. Null when `text` names no
// button of the box.
QAbstractButton* answerButton(const QMessageBox& box, const QString& text);

class Tour;

// One picture: its name in the file name, what it shows, and how the program gets there from a
// fresh start. `reach` ends in one shoot(), shootModal() or shootWhen().
struct Shot {
    QString name;
    QString caption;
    std::function<void(Tour&)> reach;
};

// Every picture of the tour, in the order they are taken and numbered.
const std::vector<Shot>& shotTable();

// Takes the pictures. Each shot runs in a program of its own: the real screens, screen manager and
// platform adapters in a full-screen stage, on the demo tree, whose data folder is put back as it
// was before every shot. Windows that block (message boxes, dialogs) are grabbed and answered as
// they appear; one nobody expected fails the shot.
class Tour {
public:
    // `appFolder`: the program folder of a staged demo tree. `display`: the display's size in
    // pixels, which every picture must have; the pictures go to `outFolder`.
    Tour(QString appFolder, QString outFolder, QSize display);
    ~Tour();
    Tour(const Tour&) = delete;
    Tour& operator=(const Tour&) = delete;

    // Reads the tree's configuration, adds a few runs of today to its results and keeps its data
    // folder as it then is (the tour puts back the folder as it found it when it ends). False with
    // a message when the tree cannot be used.
    bool prepare(QString* error);
    // Takes the shots named in `only`, or every one; returns how many failed.
    int run(const std::vector<Shot>& shots, const QStringList& only);
    // Ends the shot under way and takes no more (an interrupt); run() then returns soon.
    void stop();
    bool stopped() const { return m_stopped; }

    // ---- for the shots ----

    // A fresh program: the splash screen up, its timer running.
    void launch();
    // A fresh program up to the name selection, ready for a choice.
    void start();

    // A loaded screen, and one of its controls by object name; a missing one fails the shot.
    QWidget* screen(const QString& name);
    QWidget* control(const QString& screen, const QString& name);
    template <class T> T* control(const QString& screen, const QString& name) {
        QWidget* widget = control(screen, name);
        T* typed = qobject_cast<T*>(widget);
        if (!typed)
            fail(name + QStringLiteral(" on ") + screen + QStringLiteral(" is not of the expected kind"));
        return typed;
    }
    // Left click on a visible, enabled control (on the indicator of an option or check box).
    void click(const QString& screen, const QString& name);
    // Left click on the first line of a list that contains `text`, scrolled into view first.
    void clickLine(const QString& screen, const QString& list, const QString& text);
    // A key typed into a control (the screen itself when `name` is empty).
    void key(const QString& screen, const QString& name, Qt::Key key,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString& screen, const QString& name, const QString& text);

    // Lets the program run until `done` holds; fails the shot after `timeoutMs`.
    void waitFor(const std::function<bool()>& done, const QString& what, int timeoutMs = 15000);
    // Until the named screen is the current one and shown.
    void waitForScreen(const QString& name);
    // Until the named control is shown.
    void waitForShown(const QString& screen, const QString& name);

    // The picture of the display as it is now, once pending work and paints have run.
    void shoot();
    // The picture of the blocking window `action` opens, which is then answered with the button
    // whose text is `answer`.
    void shootModal(const std::function<void()>& action, const QString& answer);
    // The picture of the display as soon as `ready` holds while `action` runs.
    void shootWhen(const std::function<bool()>& ready, const std::function<void()>& action);

    Context context();
    SharedState& state();
    ScreenManager& screens();
    Random& random() { return m_random; }
    OutageFiles& disk() { return m_disk; }
    QString resultFile() const;

    [[noreturn]] static void fail(const QString& what);

private:
    struct Station;
    struct Capture {
        std::function<bool()> ready; // empty: a blocking window
        QString answer;
        bool taken = false;
        qint64 readySince = -1;
    };
    struct Current {
        QString file;
        QStringList failures;
        bool pictured = false;
        bool abandoned = false;
        QElapsedTimer clock;
    };

    void finishShot();
    void afterAction();
    void settle(int ms);
    void poll();
    void takePicture(const QString& file);
    void answer(QWidget* window, const QString& text);
    void meetUnexpected(QWidget* window);
    bool addTodaysRuns(const SharedState& probe, QString* error);

    QString m_appFolder;
    QString m_outFolder;
    QSize m_display;
    QString m_dataFolder;
    FolderSnapshot m_original;     // as the tour found it, and leaves it
    FolderSnapshot m_data;         // with today's runs: every shot starts from it
    QTemporaryDir m_stationFolder; // where runs wait while the shared folder is out of reach

    // The adapters without a state of their own serve every program in turn.
    SystemClock m_clock;
    StandardRandom m_random;
    SdlMediaPlayer m_media;
    QtMessageBoxes m_messages;
    QtEventPump m_events;
    OutageFiles m_disk;
    QtProcessLauncher m_launcher;
    QtFileDialogs m_files;
    QtPrintService m_printing;

    std::unique_ptr<Station> m_station;
    std::optional<Current> m_current;
    std::optional<Capture> m_capture;
    QPointer<QWidget> m_answered;   // a blocking window answered, on its way out
    QPointer<QWidget> m_unexpected; // a blocking window nobody asked for, being looked at
    qint64 m_unexpectedSince = -1;
    int m_unexpectedCount = 0;
    QElapsedTimer m_since;
    QTimer m_poll;
    bool m_stopped = false;
    QStringList m_registered;
    QSet<QString> m_pictured; // screens seen on some picture
};

} // namespace mirai::tour
