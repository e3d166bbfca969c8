#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace mirai {

// Turns SIGTERM and SIGINT into a call on the event loop, so a log-out or a shutdown ends the
// program the way its own end does instead of killing it in the middle of a write. One at a time.
class TerminationSignals final : public QObject {
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void readSignals();

    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace mirai
