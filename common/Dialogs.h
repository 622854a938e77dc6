#pragma once

#include "common/AppInfo.h"

#include <string>

namespace sbk3 {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Question, Exclamation };
enum class MsgResult { Ok, Yes, No };

struct Message {
    std::string text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    std::string caption = kAppTitle;
};

// Modal boxes. Production shows Qt boxes; tests answer from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult messageBox(const Message& message) = 0;
    // The typed text; empty on Cancel.
    virtual std::string inputBox(const std::string& prompt, const std::string& caption) = 0;
};

} // namespace sbk3
