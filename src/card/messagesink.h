#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zqw {

// Where the card core reports what a user must read. The editor shows each
// message in a plain message box; the command-line tool collects them.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(std::string_view text) = 0;
};

// Keeps every message in order; handy for tools and tests.
class MessageList : public MessageSink {
public:
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

}  // namespace zqw
