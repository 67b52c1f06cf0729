#include "faultsupport.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <set>
#include <stdexcept>

#include "card/customprompts.h"
#include "card/notesformat.h"
#include "card/savecalls.h"

namespace zqw::test {

namespace {

std::string bundledTemplate() { return readFile(ZQW_SOURCE_DIR "/data/zqw.sel"); }

constexpr size_t kNewSize = 200 * 1024;

// Writes the fixture's card (and the notes it links): its first message, or
// empty when it was written; a result its messages contradict is a fault.
std::string writeCard(CardFixture& fixture) {
    fixture.messages.messages.clear();
    const bool saved = fixture.card.writeCardFile();
    const auto& messages = fixture.messages.messages;
    if (saved != messages.empty()) return "<inconsistent result>";
    return messages.empty() ? "" : messages.front();
}

class CardSaver : public Saver {
public:
    void prepare(const std::string&) override {
        fixture_ = std::make_unique<CardFixture>(bundledTemplate());
        Card& card = fixture_->card;
        card.resetToBlankCard();
        const std::string text = noisyText(kNewSize, 1);
        const size_t share = text.size() / (card.rows.size() - 1) + 1;
        for (size_t r = 1; r < card.rows.size(); ++r)
            card.rows[r].text =
                text.substr(((r - 1) * share) % text.size(), std::min<size_t>(share, 500));
        newBytes_ = card.cardFileBytes();
    }
    std::string oldBytes() override { return "ZQW1.0\r\n" + noisyText(5000, 2) + "\r\n"; }
    std::string save(const std::string& path) override {
        fixture_->card.cardFileName = path;
        return writeCard(*fixture_);
    }
    bool isNew(const std::string& bytes) override { return bytes == newBytes_; }
    std::string message(const std::string& path, const std::string&) override {
        return "Unable to write to the file " + path;
    }

private:
    std::unique_ptr<CardFixture> fixture_;
    std::string newBytes_;
};

// The notes are saved with the card that links them; the card itself goes
// to a healthy folder.
class NotesSaver : public Saver {
public:
    void prepare(const std::string& scratchFolder) override {
        fixture_ = std::make_unique<CardFixture>(crlf({"FG", "PS", "C195", "OA"}));
        fixture_->card.resetToBlankCard();
        fixture_->card.cardFileName = scratchFolder + "/card.ccf";
        std::string text = noisyText(kNewSize, 3);
        for (size_t at = 70; at < text.size(); at += 71) text[at] = '\n';
        fixture_->notes.setText(text);
        newBytes_ = serializeNotes(fixture_->notes.paragraphs());
    }
    std::string oldBytes() override { return noisyText(5000, 4) + "\r\n"; }
    std::string save(const std::string& path) override {
        fixture_->card.notesFileName = path;
        fixture_->card.notesOpen = true;
        return writeCard(*fixture_);
    }
    bool isNew(const std::string& bytes) override { return bytes == newBytes_; }
    std::string message(const std::string& path, const std::string&) override {
        return "Cannot create file " + path;
    }

private:
    std::unique_ptr<CardFixture> fixture_;
    std::string newBytes_;
};

// The custom prompt list: about 200 KB of prompts of a line each.
class CustomPromptsSaver : public Saver {
public:
    void prepare(const std::string&) override {
        const std::string text = noisyText(kNewSize, 7);
        prompts_.clear();
        for (size_t at = 0; at < text.size(); at += 70) prompts_.push_back(text.substr(at, 70));
        newBytes_ = customPromptsBytes(prompts_, SuitChars{});
    }
    std::string oldBytes() override { return customPromptsBytes({noisyText(5000, 8)}, {}); }
    std::string save(const std::string& path) override {
        MessageList messages;
        const bool saved = writeCustomPromptsFile(path, prompts_, SuitChars{}, messages);
        if (saved != messages.messages.empty()) return "<inconsistent result>";
        return saved ? "" : messages.messages.front();
    }
    bool isNew(const std::string& bytes) override { return bytes == newBytes_; }
    std::string message(const std::string& path, const std::string&) override {
        return "Cannot create file " + path;
    }

private:
    std::vector<std::string> prompts_;
    std::string newBytes_;
};

class PackageSaver : public Saver {
public:
    void prepare(const std::string& scratchFolder) override {
        contents_.cardFile = scratchFolder + "/club.ccf";
        contents_.notesFile = scratchFolder + "/notes.txt";
        writeFile(contents_.cardFile, "ZQW1.0notes.txt\r\n");
        writeFile(contents_.notesFile, noisyText(kNewSize, 5));
        // An old package of small files, made once.
        const std::string small = scratchFolder + "/small.ccf";
        writeFile(small, "ZQW1.0\r\n" + noisyText(4000, 6));
        const std::string oldPackage = scratchFolder + "/old.zqw";
        if (producePackage(oldPackage, {small, ""})) old_ = readFile(oldPackage);
    }
    std::string oldBytes() override { return old_; }
    std::string save(const std::string& path) override {
        return producePackage(path, contents_).message;
    }
    bool isNew(const std::string& bytes) override {
        // A package whose first two entries are the card and the notes, whole.
        const std::string copy = std::filesystem::temp_directory_path() /
                                 ("zqw-isnew-" + std::to_string(::getpid()) + ".zqw");
        writeFile(copy, bytes);
        PackageReader reader(copy);
        std::filesystem::remove(copy);
        return reader.isOpen() && reader.storedNames().size() >= 2 &&
               reader.storedNames()[0] == "club.ccf" && reader.storedNames()[1] == "notes.txt";
    }
    std::string message(const std::string& path, const std::string& reason) override {
        return "Unable to produce the ZQW file " + path + ": " + reason;
    }

private:
    PackageContents contents_;
    std::string old_;
};

// The fault in force and the system's own calls it stands in front of.
struct Injection {
    DiskFault fault;
    SaveCalls system;
    // Descriptors of the folder's files, opened through the save's calls.
    std::set<int> descriptors;
};
Injection* injection = nullptr;

bool inFaultFolder(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash != std::string_view::npos && path.substr(0, slash) == injection->fault.folder;
}

bool ofFaultFolder(int fd) { return injection->descriptors.count(fd) != 0; }

int opened(int fd, const char* path) {
    if (fd < 0) return fd;
    if (inFaultFolder(path))
        injection->descriptors.insert(fd);
    else
        injection->descriptors.erase(fd);  // a number used again
    return fd;
}

int refuse(int error) {
    errno = error;
    return -1;
}

int faultyCreateTemporary(char* pattern, int flags) {
    if (injection->fault.createError != 0 && inFaultFolder(pattern))
        return refuse(injection->fault.createError);
    return opened(injection->system.createTemporary(pattern, flags), pattern);
}

int faultyOpenExisting(const char* path, int flags) {
    if (injection->fault.openError != 0 && inFaultFolder(path))
        return refuse(injection->fault.openError);
    return opened(injection->system.openExisting(path, flags), path);
}

ssize_t faultyWrite(int fd, const void* bytes, size_t count) {
    long long& left = injection->fault.spaceLeft;
    if (left < 0 || !ofFaultFolder(fd)) return injection->system.write(fd, bytes, count);
    // As a full disk does: what still fits is written, then nothing.
    if (left == 0) return refuse(ENOSPC);
    const ssize_t n =
        injection->system.write(fd, bytes, std::min(count, static_cast<size_t>(left)));
    if (n > 0) left -= n;
    return n;
}

int faultyFlush(int fd) {
    if (injection->fault.flushError != 0 && ofFaultFolder(fd))
        return refuse(injection->fault.flushError);
    return injection->system.flush(fd);
}

int faultyRename(const char* from, const char* to) {
    if (injection->fault.createError != 0 && (inFaultFolder(from) || inFaultFolder(to)))
        return refuse(injection->fault.createError);
    if (!injection->fault.busyTarget.empty() && injection->fault.busyTarget == to)
        return refuse(EBUSY);
    return injection->system.rename(from, to);
}

}  // namespace

InjectedFault::InjectedFault(DiskFault fault) {
    if (injection) throw std::logic_error("a disk fault is already in force");
    injection = new Injection{std::move(fault), saveCalls, {}};
    saveCalls.createTemporary = faultyCreateTemporary;
    saveCalls.openExisting = faultyOpenExisting;
    saveCalls.write = faultyWrite;
    saveCalls.flush = faultyFlush;
    saveCalls.rename = faultyRename;
}

InjectedFault::~InjectedFault() {
    saveCalls = injection->system;
    delete injection;
    injection = nullptr;
}

std::unique_ptr<Saver> makeSaver(SaverKind kind) {
    switch (kind) {
        case SaverKind::Card:
            return std::make_unique<CardSaver>();
        case SaverKind::Notes:
            return std::make_unique<NotesSaver>();
        case SaverKind::CustomPrompts:
            return std::make_unique<CustomPromptsSaver>();
        case SaverKind::Package:
            break;
    }
    return std::make_unique<PackageSaver>();
}

const char* saverName(SaverKind kind) {
    switch (kind) {
        case SaverKind::Card:
            return "card";
        case SaverKind::Notes:
            return "notes";
        case SaverKind::CustomPrompts:
            return "custom_prompts";
        case SaverKind::Package:
            break;
    }
    return "package";
}

std::string noisyText(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, ' ');
    for (char& c : text) c = static_cast<char>('!' + random() % 90);
    return text;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace zqw::test
