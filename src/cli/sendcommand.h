#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli send: sends a package as the e-mail window does (connect, send,
// disconnect) and prints what the window would show, one JSON object a line.
// args are the words after "send". Returns the exit status: 0 when the server
// accepted the message, 1 when the send failed, 2 for a usage error or an
// unreadable package.
int runSendCommand(const std::vector<std::string>& args);

}  // namespace zqw
