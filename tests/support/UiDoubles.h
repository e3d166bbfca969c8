#pragma once

#include "Doubles.h"
#include "ScreenManager.h"

namespace mirai::test {

// The doubles plus a real screen manager; ending the program closes every screen.
class UiTestPlatform : public TestPlatform {
public:
    UiTestPlatform();
    ~UiTestPlatform();
    ScreenManager screens;
};

} // namespace mirai::test
