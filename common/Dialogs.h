#pragma once

#include "common/AppInfo.h"
#include <filesystem>
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

// Modal boxes and the desktop's own dialogs. Production shows Qt's; tests answer from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult messageBox(const Message& message) = 0;
    // The typed text; empty on Cancel. While the user types, the worksheets stored in
    // offeredFolder that match what is typed are offered, newest first; picking one puts its
    // number in the box. An empty offeredFolder offers none.
    virtual std::string inputBox(const std::string& prompt, const std::string& caption,
                                 const std::filesystem::path& offeredFolder) = 0;
    // A whole number from low to high, value offered; 0 on Cancel.
    virtual int numberBox(const std::string& prompt, const std::string& caption, int value, int low,
                          int high) = 0;
    // The platform's save dialog: the chosen path (UTF-8), empty on Cancel.
    virtual std::string saveFileBox(const std::string& caption,
                                    const std::string& proposedPath) = 0;
    // Shows a folder in the desktop's file manager; false where none could be started.
    virtual bool openFolder(const std::string& path) = 0;
};

} // namespace sbk3
