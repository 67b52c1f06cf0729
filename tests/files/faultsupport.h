#pragma once

#include <memory>
#include <string>
#include <vector>

#include "card/zqwpackage.h"
#include "test_support.h"

namespace zqw::test {

// One of the editor's saves, made to write about 200 KB of new content to a
// path chosen by the test.
class Saver {
public:
    virtual ~Saver() = default;
    // Makes what the save needs in a healthy folder of its own.
    virtual void prepare(const std::string& scratchFolder) = 0;
    // Bytes a file of the target's kind held before the save (for the
    // package, a package), about 5 KB.
    virtual std::string oldBytes() = 0;
    // Saves to path; the message the user sees, or "" when it was saved.
    virtual std::string save(const std::string& path) = 0;
    // Whether bytes are the complete new content.
    virtual bool isNew(const std::string& bytes) = 0;
    // The message save() gives for a failure with this reason (card and
    // notes messages name no reason).
    virtual std::string message(const std::string& path, const std::string& reason) = 0;
};

enum class SaverKind { Card, Notes, CustomPrompts, Package };
std::unique_ptr<Saver> makeSaver(SaverKind kind);
const char* saverName(SaverKind kind);

// Text that compresses poorly, so a package of it is as large as it.
std::string noisyText(size_t size, unsigned seed);

// Every name in a folder, sorted.
std::vector<std::string> namesIn(const std::string& folder);

// How the disk refuses a save into one folder, brought about by replacing the
// save's system calls (no privilege needed). Files elsewhere are saved as
// usual. An error of 0 is no fault.
struct DiskFault {
    std::string folder = {};  // no slash at the end
    // Making a file in the folder, or renaming one into or out of it (a
    // folder without write permission, a read-only file system).
    int createError = 0;
    // Opening a file of the folder to write it (a read-only file system).
    int openError = 0;
    // Renaming over this one path fails with EBUSY (a file mounted in place).
    std::string busyTarget = {};
    // Bytes the folder's files may still grow by before writes fail with
    // ENOSPC; negative for no limit.
    long long spaceLeft = -1;
    // Flushing a file of the folder to disk (a failing disk).
    int flushError = 0;
};

// Puts the fault in for as long as it lives; only one at a time.
class InjectedFault {
public:
    explicit InjectedFault(DiskFault fault);
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;
};

}  // namespace zqw::test
