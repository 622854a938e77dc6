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

    std::string inputBox(const std::string& prompt, const std::string& caption) override {
        inputs.push_back({prompt, caption});
        if (typed.empty())
            return {};
        std::string text = typed.front();
        typed.pop_front();
        return text;
    }

    const Message& last() const { return messages.back(); }
};

} // namespace sbk3::test
