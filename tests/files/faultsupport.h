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

}  // namespace zqw::test
