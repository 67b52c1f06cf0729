#include "importdoscommand.h"

#include <iostream>

#include "card/card.h"
#include "card/dosimport.h"
#include "card/plainnotes.h"
#include "jsonwriter.h"

namespace zqw {

namespace {

constexpr int kFailed = 2;

int fail(const std::string& message) {
    std::cerr << "zqwcce-cli: " << message << '\n';
    return kFailed;
}

// Gathers the imported lines and adds them after the notes' last paragraph
// in one go.
class PlainNotesAppender : public NotesAppender {
public:
    void appendLine(const std::string& line) override { lines_.push_back(line); }
    void appendTo(PlainNotes& notes) const {
        if (lines_.empty()) return;
        std::string text = notes.text();
        for (const std::string& line : lines_) text += '\n' + line;
        notes.setText(text);
    }

private:
    std::vector<std::string> lines_;
};

// The reader's messages as JSON on the standard output; false when they
// could not be written.
bool writeMessages(const MessageList& messages) {
    JsonWriter json;
    json.beginObject();
    json.key("messages");
    json.beginArray();
    for (const auto& message : messages.messages) json.value(message);
    json.endArray();
    json.endObject();
    std::cout << json.text() << '\n';
    std::cout.flush();
    return static_cast<bool>(std::cout);
}

}  // namespace

int runImportDosCommand(const std::vector<std::string>& args) {
    if (args.size() != 3 && args.size() != 4) {
        std::cerr << "usage: zqwcce-cli import-dos TEMPLATE FILE.ver OUT.ccf [NOTES.txt]\n";
        return kFailed;
    }
    const std::string& templatePath = args[0];
    const std::string& dosPath = args[1];
    const std::string& cardPath = args[2];

    MessageList messages;
    PlainNotes notes;
    Card card(messages, notes);
    if (!card.parseTemplateFile(templatePath))
        return fail("cannot read the template " + templatePath);
    card.resetToBlankCard();
    notes.startEmpty();
    card.notesOpen = true;

    PlainNotesAppender imported;
    if (!importDosCard(card, imported, dosPath, SuitChars{})) {
        // A blank card written in its place would pass for an import of a
        // card that held nothing.
        writeMessages(messages);
        return fail("cannot read the DOS card " + dosPath + "; nothing was written");
    }
    imported.appendTo(notes);

    std::string failedOutput;
    if (args.size() == 4) {
        const std::string& notesPath = args[3];
        if (notes.saveFile(notesPath)) {
            card.notesFileName = notesPath;
        } else {
            failedOutput = notesPath;
        }
    }
    if (failedOutput.empty()) {
        card.cardFileName = cardPath;
        if (!card.writeCardFile()) failedOutput = cardPath;
    }

    if (!writeMessages(messages)) return fail("cannot write the output");
    if (!failedOutput.empty()) return fail("cannot write " + failedOutput);
    return 0;
}

}  // namespace zqw
