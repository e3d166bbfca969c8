#pragma once

namespace mirai {

// Lets pending window events (paint, timers, input) run at the points where the
// screens' procedures allow it.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

class QtEventPump final : public EventPump {
public:
    void processEvents() override;
};

} // namespace mirai
