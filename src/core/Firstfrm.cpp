#include "Firstfrm.h"

#include "AppControl.h"
#include "Clock.h"
#include "Configuration.h"
#include "EraDate.h"
#include "EventPump.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "Random.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "SoundCues.h"
#include "UiSupport.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// The title picture: a 640 x 480 board with the drill's name and a few sample problems.
QPixmap titlePicture(const QString& title) {
    QPixmap picture(640, 480);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0.0, QColor(24, 64, 120));
    sky.setColorAt(1.0, QColor(70, 150, 200));
    painter.fillRect(picture.rect(), sky);

    painter.setPen(QColor(255, 255, 255, 60));
    painter.setFont(ui::uiFont(28, true));
    const char16_t* samples[] = {u"0.7 × 8",    u"0.3 × 0.06", u"4 × 0.5",
                                 u"0.09 × 0.2", u"6 × 0.04",   u"0.8 × 0.8"};
    for (int i = 0; i < 6; ++i)
        painter.drawText(QPointF(40 + (i % 3) * 200, 330 + (i / 3) * 70), QString::fromUtf16(samples[i]));

    painter.setPen(Qt::white);
    painter.setFont(ui::uiFont(54, true));
    painter.drawText(QRect(0, 90, 640, 120), Qt::AlignCenter, title);
    painter.setFont(ui::uiFont(20));
    painter.drawText(QRect(0, 200, 640, 50), Qt::AlignCenter, u"小数のかけ算"_s);
    return picture;
}

} // namespace

Firstfrm::Firstfrm(Context context, QString appFolder, QWidget* parent)
    : Screen(parent), m_ctx(context), m_appFolder(std::move(appFolder)) {
    setWindowTitle(u"みらいドリル"_s);
    setFixedSize(640, 600);

    auto* picture1 = new QLabel(this);
    picture1->setObjectName(u"Picture1"_s);
    picture1->setGeometry(0, 0, 640, 480);
    auto* image1 = new QLabel(picture1);
    image1->setObjectName(u"Image1"_s);
    image1->setGeometry(0, 0, 640, 480);
    image1->setPixmap(titlePicture(u"みらいドリル"_s));

    m_label5 = ui::makeLabel(this, u"Label5"_s, QString(), QRect(20, 488, 600, 40), ui::uiFont(20, true));
    QLabel* label3 = ui::makeLabel(this, u"Label3"_s, u"© みらい教育ソフト工房"_s, QRect(20, 532, 600, 24),
                                   ui::uiFont(11));
    QLabel* label1 = ui::makeLabel(this, u"Label1"_s, u"Just a moment, please."_s, QRect(20, 560, 600, 28),
                                   ui::uiFont(14));
    for (QLabel* label : {m_label5, label3, label1})
        label->setAlignment(Qt::AlignCenter);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(u"Timer1"_s);
    m_timer1->setInterval(100);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &Firstfrm::timer1Tick);
}

void Firstfrm::activate() {
    if (m_loaded)
        return;
    m_loaded = true;
    if (QScreen* screen = this->screen())
        move(screen->geometry().center() - rect().center());
    const Platform& platform = m_ctx.platform;
    platform.events->processEvents();
    const QDateTime now = platform.clock->now();
    platform.random->reseed(static_cast<std::uint64_t>(now.time().msecsSinceStartOfDay()));
    m_label5->setText(eraDateText(now.date()));
    m_ctx.state.SeasonColour = seasonColour(now.date().month());
    ui::setBackground(this, ui::fromBgr(m_ctx.state.SeasonColour));
    platform.events->processEvents();
    m_timer1->start();
}

void Firstfrm::timer1Tick() {
    m_timer1->stop();
    const Platform& platform = m_ctx.platform;
    std::optional<ConfigurationError> error = LoadConfiguration(m_ctx.state, m_appFolder);
    // A station that was never set up has no path file anywhere: it is set up now instead.
    if (error && error->noPathFile && platform.screens &&
        platform.screens->isRegistered(screens::FrmSetup())) {
        QPointer<Firstfrm> guard(this);
        platform.screens->showModal(screens::FrmSetup(), this);
        if (!guard || platform.app->endRequested())
            return;
        error = LoadConfiguration(m_ctx.state, m_appFolder);
        if (error && error->noPathFile) { // the set-up was left: nothing was written
            platform.app->endProgram();
            return;
        }
    }
    if (error) {
        platform.messages->show(error->message, u"みらいドリル"_s, MessageButtons::Ok, MessageIcon::Critical);
        platform.app->endProgram();
        return;
    }
    PreloadSounds(m_ctx);
    platform.screens->show(screens::namesel());
    platform.screens->close(screens::Firstfrm());
}

void SetUpLevels(Context ctx) {
    setUpLevelValues(ctx.state);
    ctx.platform.screens->show(screens::seisekitime1());
}

} // namespace mirai
