#pragma once

#include "Screen.h"

namespace mirai {

// The plain backdrop that covers the desktop while a run is recorded and the end screen
// comes up.
class BASEFRM : public Screen {
    Q_OBJECT
public:
    explicit BASEFRM(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace mirai
