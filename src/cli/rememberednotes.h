#pragma once

#include <string>

#include "card/messagesink.h"
#include "card/noteslink.h"
#include "platform/profilestore.h"

namespace zqw {

// The command line follows a card's notes link out of the card's folder as
// the editor does without asking: only for a card and notes pair this user
// linked in the editor (remembered in the per-user store). It never asks;
// any other such link is not followed, and when notices is given a message
// there says so.
class RememberedNotesLinks : public NotesLinkApproval {
public:
    explicit RememberedNotesLinks(MessageSink* notices = nullptr) : notices_(notices) {}

    bool followOutside(const std::string& cardPath, const std::string& notesPath) override;

private:
    ProfileStore store_;
    MessageSink* notices_;
};

}  // namespace zqw
