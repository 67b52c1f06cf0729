#include "card/noteslink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "card/card.h"
#include "card/notesformat.h"

namespace zqw {

namespace {

// The folder a card file is in, as an absolute path: a card named by a
// relative path (on a command line) is in the working folder.
std::string absoluteFolderOf(const std::string& cardPath) {
    const size_t slash = cardPath.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".")
                         : slash == 0               ? std::string("/")
                                                    : cardPath.substr(0, slash);
    if (folder[0] != '/') {
        char here[PATH_MAX];
        if (::getcwd(here, sizeof here) == nullptr) return {};
        folder = std::string(here) + "/" + folder;
    }
    return folder;
}

// The path with every ".", ".." and symbolic link resolved; empty when
// nothing is there.
std::string canonicalPath(const std::string& path) {
    if (path.empty()) return {};
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

std::string parentOf(const std::string& canonical) {
    const size_t slash = canonical.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : canonical.substr(0, slash);
}

// A link written on another system may separate folders with backslashes.
std::string bareNameOf(const std::string& link) {
    const size_t slash = link.find_last_of("/\\");
    std::string bare = slash == std::string::npos ? link : link.substr(slash + 1);
    if (bare == "." || bare == "..") bare.clear();
    return bare;
}

}  // namespace

NotesLinkTarget resolveNotesLink(const std::string& cardPath, const std::string& linkedName) {
    NotesLinkTarget target;
    if (linkedName.empty()) return target;
    target.place = NotesLinkTarget::Place::Missing;
    const std::string folder = absoluteFolderOf(cardPath);
    if (folder.empty()) return target;
    target.path = linkedName[0] == '/' ? linkedName : folder + "/" + linkedName;
    const std::string real = canonicalPath(target.path);
    if (real.empty()) return target;
    target.path = real;
    struct stat info {};
    if (::stat(real.c_str(), &info) != 0) return target;
    if (!S_ISREG(info.st_mode)) {
        target.place = NotesLinkTarget::Place::NotRegular;
        return target;
    }
    // A card linking itself would have its notes written over it when saved.
    if (real == canonicalPath(cardPath)) return target;
    target.place = parentOf(real) == canonicalPath(folder) ? NotesLinkTarget::Place::Beside
                                                           : NotesLinkTarget::Place::Outside;
    return target;
}

NotesLinkTarget findLinkedNotes(const std::string& cardPath, const std::string& linkedName) {
    const NotesLinkTarget asWritten = resolveNotesLink(cardPath, linkedName);
    if (asWritten.place != NotesLinkTarget::Place::Missing) return asWritten;
    const std::string bare = bareNameOf(linkedName);
    if (bare.empty()) return asWritten;
    NotesLinkTarget beside = resolveNotesLink(cardPath, bare);
    if (beside.place == NotesLinkTarget::Place::Missing) return asWritten;
    beside.moved = true;
    return beside;
}

NotesLinkTarget findPackagedNotes(const std::string& cardPath, const std::string& linkedName,
                                  const std::vector<std::string>& extractedNotes) {
    NotesLinkTarget target;
    if (linkedName.empty()) return target;
    target.place = NotesLinkTarget::Place::Missing;
    const std::string bare = bareNameOf(linkedName);
    if (bare.empty()) return target;
    for (const std::string& extracted : extractedNotes) {
        if (bareNameOf(extracted) != bare) continue;
        target = resolveNotesLink(cardPath, extracted);
        // The link as written names some other file: it changes to this one.
        target.moved = target.path != resolveNotesLink(cardPath, linkedName).path;
        return target;
    }
    return target;
}

void Card::openLinkedNotes(const std::string& cardPath,
                           const std::vector<std::string>* extractedNotes) {
    if (notesFileName.empty()) {
        notes_.startEmpty();
        return;
    }
    const NotesLinkTarget target = extractedNotes
                                       ? findPackagedNotes(cardPath, notesFileName, *extractedNotes)
                                       : findLinkedNotes(cardPath, notesFileName);
    bool follow = false;
    switch (target.place) {
        case NotesLinkTarget::Place::Beside:
            follow = true;
            break;
        case NotesLinkTarget::Place::Outside:
            follow = notesLinkApproval_ && notesLinkApproval_->followOutside(cardPath, target.path);
            break;
        case NotesLinkTarget::Place::NotRegular:
            messages_.showMessage("Unable to load the notes file " + target.path +
                                  ": Not a regular file");
            break;
        case NotesLinkTarget::Place::None:
        case NotesLinkTarget::Place::Missing:
            break;
    }
    if (follow && notes_.loadFile(target.path)) {
        notesFileName = target.path;
        if (target.moved) isModified = true;
        return;
    }
    if (follow) {
        // A notes file that is there but cannot be loaded (too large,
        // unreadable) is not missing: the card drops its link, so the user
        // must hear why.
        const std::string problem = notesFileProblem(target.path);
        if (!problem.empty()) {
            messages_.showMessage("Unable to load the notes file " + target.path + ": " + problem);
        }
    }
    notes_.startEmpty();
    notesFileName.clear();
}

}  // namespace zqw
