#include "ScreenManager.h"

#include "Screen.h"
#include "Stage.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace mirai {

ScreenManager::~ScreenManager() {
    for (auto& entry : m_loaded)
        delete entry.screen.data();
}

void ScreenManager::registerScreen(const QString& name, Factory factory) {
    m_factories.insert(name, std::move(factory));
}

std::vector<ScreenManager::Loaded>::iterator ScreenManager::findLoaded(const QString& name) {
    return std::find_if(m_loaded.begin(), m_loaded.end(),
                        [&](const Loaded& entry) { return entry.name == name && entry.screen; });
}

std::vector<ScreenManager::Loaded>::const_iterator ScreenManager::findLoaded(const QString& name) const {
    return std::find_if(m_loaded.begin(), m_loaded.end(),
                        [&](const Loaded& entry) { return entry.name == name && entry.screen; });
}

Screen* ScreenManager::find(const QString& name) const {
    auto it = findLoaded(name);
    return it == m_loaded.end() ? nullptr : it->screen.data();
}

bool ScreenManager::isLoaded(const QString& name) const {
    return find(name) != nullptr;
}

bool ScreenManager::isVisible(const QString& name) const {
    Screen* screen = find(name);
    return screen && screen->isVisible();
}

QStringList ScreenManager::registeredNames() const {
    QStringList names = m_factories.keys();
    names.sort();
    return names;
}

void ScreenManager::setStage(Stage* stage) {
    m_stage = stage;
}

Screen* ScreenManager::load(const QString& name) {
    if (Screen* screen = find(name))
        return screen;
    auto factory = m_factories.constFind(name);
    if (factory == m_factories.constEnd())
        return nullptr;
    Screen* screen = (*factory)();
    if (!screen)
        return nullptr;
    screen->setObjectName(name);
    std::erase_if(m_loaded, [](const Loaded& entry) { return !entry.screen; });
    m_loaded.push_back({name, screen});
    return screen;
}

Screen* ScreenManager::show(const QString& name) {
    Screen* screen = load(name);
    if (!screen)
        return nullptr;
    m_history.append(name);
    const bool wasCurrent = m_current == name && screen->isVisible();
    if (m_stage)
        m_stage->adopt(screen);
    screen->show();
    screen->raise();
    screen->activateWindow();
    // In the stage the keys must reach this screen, not the stage around it.
    if (m_stage && !screen->isAncestorOf(QApplication::focusWidget()))
        screen->setFocus();
    if (!wasCurrent) {
        m_current = name;
        QPointer<Screen> guard(screen);
        screen->activate();
        if (!guard)
            return nullptr;
    }
    return screen;
}

void ScreenManager::showModal(const QString& name, QWidget* over) {
    Screen* screen = load(name);
    if (!screen)
        return;
    m_history.append(name);
    QPointer<Screen> guard(screen);
    screen->setWindowModality(Qt::ApplicationModal);
    screen->adjustSize();
    if (over) {
        const QPoint centre = over->mapToGlobal(over->rect().center());
        screen->move(centre - QPoint(screen->width() / 2, screen->height() / 2));
    }
    screen->show();
    screen->raise();
    screen->activate();
    // Block like a modal form until the dialog is closed.
    QEventLoop loop;
    QObject::connect(screen, &QObject::destroyed, &loop, &QEventLoop::quit);
    while (guard && guard->isVisible()) {
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
}

void ScreenManager::close(const QString& name) {
    auto it = findLoaded(name);
    if (it == m_loaded.end())
        return;
    QPointer<Screen> screen = it->screen;
    m_loaded.erase(it);
    if (m_current == name)
        m_current.clear();
    if (screen)
        screen->closing();
    if (screen) {
        screen->hide();
        screen->deleteLater();
    }
}

void ScreenManager::closeAll() {
    while (!m_loaded.empty()) {
        const QString name = m_loaded.back().name;
        if (m_loaded.back().screen)
            close(name);
        else
            m_loaded.pop_back();
    }
}

} // namespace mirai
