#pragma once

namespace mirai {

// Ending the program. After endProgram() every screen is closed and the event loop is left;
// callers deep in a procedure check endRequested() and return instead of carrying on.
class AppControl {
public:
    virtual ~AppControl() = default;
    virtual void endProgram() = 0;
    bool endRequested() const { return m_ended; }

protected:
    void markEnded() { m_ended = true; }

private:
    bool m_ended = false;
};

} // namespace mirai
