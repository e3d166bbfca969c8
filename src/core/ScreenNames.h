#pragma once

#include <QString>

namespace mirai::screens {

inline QString Firstfrm() {
    return QStringLiteral("Firstfrm");
}
inline QString namesel() {
    return QStringLiteral("namesel");
}
inline QString seisekitime1() {
    return QStringLiteral("seisekitime1");
}
inline QString MainFrm() {
    return QStringLiteral("MainFrm");
}
inline QString BASEFRM() {
    return QStringLiteral("BASEFRM");
}
inline QString FrmSyuuryou() {
    return QStringLiteral("FrmSyuuryou");
}
inline QString FrmData() {
    return QStringLiteral("FrmData");
}
inline QString FrmTimeData() {
    return QStringLiteral("FrmTimeData");
}
inline QString FrmRoster() {
    return QStringLiteral("FrmRoster");
}
inline QString FrmSetup() {
    return QStringLiteral("FrmSetup");
}
inline QString FrmPicture() {
    return QStringLiteral("FrmPicture");
}
inline QString FrmClassGrid() {
    return QStringLiteral("FrmClassGrid");
}
inline QString FormPrint0() {
    return QStringLiteral("FormPrint0");
}
inline QString frmPrint() {
    return QStringLiteral("frmPrint");
}
inline QString frmver() {
    return QStringLiteral("frmver");
}

} // namespace mirai::screens
