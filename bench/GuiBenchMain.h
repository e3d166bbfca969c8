#pragma once

#include <functional>

namespace mirai::bench {

// Runs the registered benchmarks in a widget application (offscreen unless a platform is named).
// `beforeExit` runs while the application still exists: the screens and their data go there.
int runWithScreens(int argc, char** argv, const std::function<void()>& beforeExit);

} // namespace mirai::bench
