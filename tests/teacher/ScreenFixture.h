#pragma once

#include "Configuration.h"
#include "Controls.h"
#include "Screen.h"
#include "ScreenNames.h"
#include "TeacherFixture.h"
#include "TeacherScreens.h"
#include "UiDoubles.h"

#include <QCoreApplication>
#include <QPointer>

namespace mirai::test {

// Stands in for the results hub the teacher screens return to.
class HubStandIn : public Screen {
public:
    void activate() override { ++activations; }
    int activations = 0;
};

// A station with a complete configuration (site "12345 北教室", password "abc"), a small roster and
// the teacher ★山口先生 signed in; the teacher screens are registered, the hub is a stand-in.
class TeacherScreenFixture : public StationFixture<UiTestPlatform> {
protected:
    void SetUp() override {
        tree.writeDefaults();
        tree.writeRoster({QStringLiteral("7,2017,0,0,\"山田花子\",0,\"\",\"\""),
                          QStringLiteral("8,2016,0,0,\"佐藤一郎\",0,\"\",\"\""),
                          QStringLiteral("1,1980,0,0,\"★山口先生\",0,\"\",\"\"")});
        ASSERT_FALSE(LoadConfiguration(*state, tree.appFolder()).has_value());
        setUpLevelValues(*state);
        state->StudentNumber = 1;
        state->StudentName = QStringLiteral("★山口先生");
        registerTeacherScreens(platform.screens, ctx());
        if (!platform.screens.isRegistered(screens::seisekitime1())) {
            platform.screens.registerScreen(screens::seisekitime1(), [this] {
                hub = new HubStandIn;
                return hub.data();
            });
        }
    }

    template <class T> T* show(const QString& name) {
        platform.screens.show(name);
        return platform.screens.find<T>(name);
    }
    // Closed screens are deleted once control is back in the event loop.
    void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QPointer<HubStandIn> hub;
};

} // namespace mirai::test
