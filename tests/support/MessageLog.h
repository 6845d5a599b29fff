// Records the message boxes the program would show, instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "Forms.h"

struct ShownMessage {
    std::string title, text;
    unsigned flags;
};

class MessageLog {
public:
    MessageLog() {
        SetMessagePresenter([this](const std::string& title, const std::string& text, unsigned flags) {
            shown.push_back({title, text, flags});
        });
    }
    ~MessageLog() { SetMessagePresenter(nullptr); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& m : shown) texts.push_back(m.text);
        return texts;
    }

    std::vector<ShownMessage> shown;
};
