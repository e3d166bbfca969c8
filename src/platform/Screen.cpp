#include "Screen.h"

namespace mirai {

Screen::Screen(QWidget* parent) : QWidget(parent) {}

} // namespace mirai
