#pragma once

namespace mirai {

struct Platform;
struct SharedState;

// What every procedure and screen works with: the shared state and the platform seams.
struct Context {
    SharedState& state;
    const Platform& platform;
};

} // namespace mirai
