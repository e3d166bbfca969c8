#pragma once

#include <QString>

namespace mirai {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Modal message boxes; the window system's version runs a nested event loop.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(const QString& text, const QString& title,
                               MessageButtons buttons = MessageButtons::Ok,
                               MessageIcon icon = MessageIcon::None) = 0;
};

} // namespace mirai
