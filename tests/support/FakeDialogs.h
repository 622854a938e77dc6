#pragma once

#include "common/Dialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace sbk3::test {

// Records every box and answers from a script; with the script used up, message boxes answer
// OK or No and input boxes answer as Cancel does.
class FakeDialogs : public Dialogs {
public:
    struct Input {
        std::string prompt;
        std::string caption;
        std::filesystem::path offeredFolder;
    };

    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::deque<MsgResult> answers;
    std::deque<std::string> typed;

    MsgResult messageBox(const Message& message) override {
        messages.push_back(message);
        if (!answers.empty()) {
            const MsgResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return message.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }

    std::vector<std::string> saveCaptions; // each save dialog's caption and proposal
    std::vector<std::string> saveProposals;
    std::deque<std::string> savePaths; // what the save dialogs answer; empty is Cancel
    std::vector<std::string> openedFolders;
    bool folderOpens = true;

    std::string saveFileBox(const std::string& caption, const std::string& proposedPath) override {
        saveCaptions.push_back(caption);
        saveProposals.push_back(proposedPath);
        if (savePaths.empty())
            return {};
        std::string path = savePaths.front();
        savePaths.pop_front();
        return path;
    }

    bool openFolder(const std::string& path) override {
        openedFolders.push_back(path);
        return folderOpens;
    }

    std::string inputBox(const std::string& prompt, const std::string& caption,
                         const std::filesystem::path& offeredFolder) override {
        inputs.push_back({prompt, caption, offeredFolder});
        if (typed.empty())
            return {};
        std::string text = typed.front();
        typed.pop_front();
        return text;
    }

    std::vector<std::string> numberPrompts;
    std::deque<int> numbers; // what number boxes answer; with none left, Cancel (0)

    int numberBox(const std::string& prompt, const std::string&, int, int, int) override {
        numberPrompts.push_back(prompt);
        if (numbers.empty())
            return 0;
        const int answer = numbers.front();
        numbers.pop_front();
        return answer;
    }

    const Message& last() const { return messages.back(); }
};

} // namespace sbk3::test
