#pragma once

#include "common/Dialogs.h"

#include <QString>

namespace sbk3 {

// A box's text as a screen reader should read it: without the lines of "====" or "----" that
// underline a heading.
QString spokenText(const QString& text);

// Modal Qt boxes over the active window.
class QtDialogs : public Dialogs {
public:
    MsgResult messageBox(const Message& message) override;
    std::string inputBox(const std::string& prompt, const std::string& caption,
                         const std::filesystem::path& offeredFolder) override;
    int numberBox(const std::string& prompt, const std::string& caption, int value, int low,
                  int high) override;
    std::string saveFileBox(const std::string& caption, const std::string& proposedPath) override;
    bool openFolder(const std::string& path) override;
};

} // namespace sbk3
