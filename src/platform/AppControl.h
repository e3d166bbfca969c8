#pragma once

namespace mirai {

// Ending the program. After endProgram() every screen is closed and the event loop is left;
// callers deep in a procedure check endRequested() and return instead of carrying on.
class AppControl {
public:
    virtual ~AppControl() = default;
    virtual void endProgram() = 0;
    bool endRequested() const { return m_ended; }
    // Ended, or an end is waiting for a write: nothing should wait for the share any longer.
    bool stopping() const { return m_ended || m_endPending; }

    // An end asked for from outside (a log-out, a shutdown): at once, or, while a write that
    // must stay whole is in progress, as soon as the last one is done.
    void requestEnd() {
        if (m_writes > 0)
            m_endPending = true;
        else
            endProgram();
    }

    // Held while a record is written: an end requested meanwhile waits for it.
    class WriteInProgress {
    public:
        explicit WriteInProgress(AppControl* app) : m_app(app) {
            if (m_app)
                ++m_app->m_writes;
        }
        ~WriteInProgress() {
            if (m_app && --m_app->m_writes == 0 && m_app->m_endPending && !m_app->endRequested())
                m_app->endProgram();
        }
        WriteInProgress(const WriteInProgress&) = delete;
        WriteInProgress& operator=(const WriteInProgress&) = delete;

    private:
        AppControl* m_app;
    };

protected:
    void markEnded() { m_ended = true; }

private:
    bool m_ended = false;
    bool m_endPending = false;
    int m_writes = 0;
};

} // namespace mirai
