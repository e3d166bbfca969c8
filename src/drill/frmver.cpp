#include "frmver.h"

#include "EventPump.h"
#include "Platform.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

#ifndef MIRAI_VERSION_MAJOR
#define MIRAI_VERSION_MAJOR 1
#define MIRAI_VERSION_MINOR 0
#define MIRAI_VERSION_PATCH 17
#endif

namespace mirai {

QString versionLine(int major, int minor, int revision) {
    return u"Version"_s + QString::number(major) + u'.' + QString::number(minor) + u'.' +
           QString::number(revision);
}

namespace {

QLabel* dialogLabel(QWidget* parent, const QString& name, const QRect& geometry, const QFont& font,
                    const QColor& colour) {
    QLabel* label = ui::makeLabel(parent, name, QString(), geometry, font);
    label->setAlignment(Qt::AlignCenter);
    ui::setTextColour(label, colour);
    return label;
}

} // namespace

frmver::frmver(Context context, QWidget* parent) : Screen(parent), m_ctx(context) {
    setWindowTitle(u"ﾊﾞｰｼﾞｮﾝ情報"_s);
    setFixedSize(460, 320);

    // Shape1 is the light frame behind the texts; it is painted in paintEvent.
    auto* shape1 = new QWidget(this);
    shape1->setObjectName(u"Shape1"_s);
    shape1->setGeometry(20, 20, 420, 220);
    shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    const QColor ink(30, 58, 95);
    m_label1 = dialogLabel(this, u"Label1"_s, QRect(30, 34, 400, 50), ui::uiFont(24, true), ink);
    m_label2 = dialogLabel(this, u"Label2"_s, QRect(30, 90, 400, 34), ui::uiFont(15), ink);
    m_label4 =
        dialogLabel(this, u"Label4"_s, QRect(30, 144, 400, 30), ui::uiFont(14, true), QColor(70, 90, 115));
    m_label5 = dialogLabel(this, u"Label5"_s, QRect(30, 180, 400, 44), ui::uiFont(10), QColor(90, 105, 125));
    m_label5->setWordWrap(true);

    auto* command1 = new QPushButton(u"O.K."_s, this);
    command1->setObjectName(u"Command1"_s);
    command1->setGeometry(170, 258, 120, 42);
    command1->setFont(ui::uiFont(14, true));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this,
            [this] { m_ctx.platform.screens->close(screens::frmver()); });
}

void frmver::activate() {
    m_ctx.platform.events->processEvents();
    m_ctx.platform.events->processEvents();
    m_label1->setText(m_ctx.state.ProgramTitle);
    m_label2->setText(versionLine(MIRAI_VERSION_MAJOR, MIRAI_VERSION_MINOR, MIRAI_VERSION_PATCH));
    m_label4->setText(u"みらい教育ソフト工房"_s);
    m_label5->setText(u"Copyright (C) みらい教育ソフト工房 All rights reserved."_s);
}

void frmver::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, height());
    back.setColorAt(0.0, QColor(246, 250, 255));
    back.setColorAt(1.0, QColor(226, 236, 248));
    painter.fillRect(rect(), back);
    painter.setPen(QPen(QColor(170, 200, 232), 2));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawRoundedRect(QRectF(20, 20, 420, 220), 14, 14);
}

} // namespace mirai
