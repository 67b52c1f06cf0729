#pragma once

#include <string>
#include <vector>

namespace zqw {

// Where the notes link of a card file (the name after "ZQW1.0") leads. A
// card may come from anyone, and its link is a path written inside it: the
// link is read against the card's own folder (never the working folder), and
// a file out of that folder is only opened when the user made or allows that
// link, so a received card cannot show, rewrite or pack the user's other
// files as its notes.
struct NotesLinkTarget {
    enum class Place {
        None,        // the card links no notes
        Beside,      // a regular file in the card's own folder
        Outside,     // a regular file anywhere else, subfolders included
        Missing,     // nothing there, or nothing that can be reached
        NotRegular,  // a folder, pipe, device or socket: never opened
    };
    Place place = Place::None;
    // The file with every ".", ".." and symbolic link resolved; for Missing,
    // the path that was tried.
    std::string path;
    // Found by the link's bare name beside the card rather than where the
    // link says: the card's link changes to this path.
    bool moved = false;
};

// Where a link leads as written: a relative link from the card's folder.
NotesLinkTarget resolveNotesLink(const std::string& cardPath, const std::string& linkedName);

// Where reading a card finds its notes: where the link leads or, when
// nothing is there, the file of the link's bare name beside the card (notes
// moved together with their card).
NotesLinkTarget findLinkedNotes(const std::string& cardPath, const std::string& linkedName);

// The same for a card just extracted from a package: only the notes file
// extracted with it that has the link's bare name counts. The path written
// in the card is never followed, even when something is there.
NotesLinkTarget findPackagedNotes(const std::string& cardPath, const std::string& linkedName,
                                  const std::vector<std::string>& extractedNotes);

// Decides about a link that leads out of the card's folder.
class NotesLinkApproval {
public:
    virtual ~NotesLinkApproval() = default;
    // Whether the card at cardPath may have notesPath (a regular file out of
    // the card's folder, every link resolved) opened as its notes.
    virtual bool followOutside(const std::string& cardPath, const std::string& notesPath) = 0;
};

}  // namespace zqw
