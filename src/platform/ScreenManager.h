#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QWidget;

namespace mirai {

class Screen;
class Stage;

// Shows and closes the program's screens by name. A screen is created by its registered
// factory the first time it is needed ("loaded") and destroyed when closed.
class ScreenManager {
public:
    using Factory = std::function<Screen*()>;

    virtual ~ScreenManager();

    void registerScreen(const QString& name, Factory factory);
    // Screens shown from now on sit in the stage, centred, instead of in windows of their own
    // (modal dialogs keep their own window).
    void setStage(Stage* stage);
    bool isRegistered(const QString& name) const { return m_factories.contains(name); }
    // Every registered name, sorted.
    QStringList registeredNames() const;

    // Creates the screen if it is not loaded yet, without showing it.
    Screen* load(const QString& name);
    // Loads, shows and raises the screen; runs its activation when it was not already the
    // current screen. Returns null for an unknown name.
    Screen* show(const QString& name);
    // Shows the screen as a modal dialog centred over `over` and returns when it is closed.
    void showModal(const QString& name, QWidget* over);
    // Hides the screen and deletes it once control is back in the event loop.
    void close(const QString& name);
    // Closes every loaded screen, the last opened first.
    void closeAll();

    bool isLoaded(const QString& name) const;
    bool isVisible(const QString& name) const;
    Screen* find(const QString& name) const;
    template <class T> T* find(const QString& name) const { return qobject_cast<T*>(find(name)); }
    QString current() const { return m_current; }

    // Every screen name passed to show(), in order; tests read the flow from it.
    const QStringList& shownHistory() const { return m_history; }

private:
    struct Loaded {
        QString name;
        QPointer<Screen> screen;
    };
    std::vector<Loaded>::iterator findLoaded(const QString& name);
    std::vector<Loaded>::const_iterator findLoaded(const QString& name) const;

    QHash<QString, Factory> m_factories;
    std::vector<Loaded> m_loaded; // in order of loading
    QString m_current;
    QStringList m_history;
    QPointer<Stage> m_stage;
};

} // namespace mirai
