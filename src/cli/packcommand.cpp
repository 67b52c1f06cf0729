#include "packcommand.h"

#include <iostream>

#include "card/cardfileheader.h"
#include "card/noteslink.h"
#include "card/zqwpackage.h"
#include "rememberednotes.h"

namespace zqw {

namespace {

constexpr int kFailed = 2;
const char* const kUsage = "usage: zqwcce-cli pack CARD OUT.zqw [--notes FILE]";

int fail(const std::string& message) {
    std::cerr << "zqwcce-cli pack: " << message << '\n';
    return kFailed;
}

}  // namespace

int runPackCommand(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::optional<std::string> namedNotes;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--notes" && i + 1 < args.size() && !namedNotes) {
            namedNotes = args[++i];
        } else if (args[i].starts_with("--")) {
            return fail(kUsage);
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) return fail(kUsage);
    const std::string& cardPath = positional[0];
    std::string why;
    std::optional<PackageContents> contents;
    NotesLinkTarget link;
    if (namedNotes) {
        // Named on the command line, the notes are the user's choice,
        // wherever the card's own link leads.
        if (!readLinkedNotesName(cardPath, &why)) {
            return fail("cannot read the card file " + cardPath + ": " + why);
        }
        contents = PackageContents{cardPath, *namedNotes};
    } else {
        RememberedNotesLinks remembered;
        contents = packageContentsOfCardFile(cardPath, &remembered, &why, &link);
        if (!contents) {
            if (link.place == NotesLinkTarget::Place::Outside) {
                return fail("not packed: " + why + "; name it with --notes " + link.path +
                            " to pack it");
            }
            if (link.place == NotesLinkTarget::Place::NotRegular) return fail("not packed: " + why);
            return fail("cannot read the card file " + cardPath + ": " + why);
        }
    }
    const PackageResult result = producePackage(positional[1], *contents);
    if (!result) return fail(result.message);
    // What went into a package that may be mailed on is for the user to see.
    if (contents->notesFile.empty() && link.place == NotesLinkTarget::Place::Missing) {
        std::cerr << "zqwcce-cli pack: packed no notes file: the linked notes file " << link.path
                  << " is not there\n";
    } else if (contents->notesFile.empty()) {
        std::cerr << "zqwcce-cli pack: packed no notes file\n";
    } else {
        std::cerr << "zqwcce-cli pack: packed the notes file " << contents->notesFile << '\n';
    }
    return 0;
}

}  // namespace zqw
