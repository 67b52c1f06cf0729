// zqwcce-cli: the card core from the command line, for template authors and
// scripts. Prints JSON on standard output; messages the core reports are
// data, so they go into the JSON and the exit status stays 0. Exit 2 means
// the template could not be read or an output could not be written.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "card/card.h"
#include "card/plainnotes.h"
#include "checkcommand.h"
#include "comparecommand.h"
#include "htmlcommand.h"
#include "importdoscommand.h"
#include "jsonwriter.h"
#include "packcommand.h"
#include "pdfcommand.h"
#include "rememberednotes.h"
#include "sendcommand.h"

namespace {

using zqw::Card;
using zqw::JsonWriter;

constexpr int kFailed = 2;

void usage() {
    std::cerr << "usage: zqwcce-cli template TEMPLATE\n"
                 "       zqwcce-cli card TEMPLATE CARD\n"
                 "       zqwcce-cli resave TEMPLATE CARD OUT\n"
                 "       zqwcce-cli import-dos TEMPLATE FILE.ver OUT.ccf [NOTES.txt]\n"
                 "       zqwcce-cli pack CARD OUT.zqw [--notes FILE]\n"
                 "       zqwcce-cli pdf TEMPLATE CARD OUT.pdf [--page all|1|2] [--settings INI]\n"
                 "                      [--notes NOTES-OUT.pdf]\n"
                 "       zqwcce-cli send PACKAGE --host H ... (see zqwcce-cli send --help)\n";
}

int fail(const std::string& message) {
    std::cerr << "zqwcce-cli: " << message << '\n';
    return kFailed;
}

void writeMessages(JsonWriter& json, const std::vector<std::string>& messages) {
    json.key("messages");
    json.beginArray();
    for (const auto& message : messages) json.value(message);
    json.endArray();
}

void writeShape(JsonWriter& json, const Card& card) {
    json.key("tabs");
    json.beginArray();
    for (const auto& caption : card.tabCaptions) json.value(caption);
    json.endArray();

    json.key("groups");
    json.beginArray();
    for (const auto& group : card.groups) {
        json.beginObject();
        json.member("name", group.name);
        json.member("firstSection", group.firstSection);
        json.member("sectionCount", group.sectionCount);
        json.endObject();
    }
    json.endArray();

    json.key("sections");
    json.beginArray();
    for (const auto& form : card.sections) {
        json.beginObject();
        const std::pair<const char*, int> numbers[] = {
            {"groupIndex", form.groupIndex},
            {"columnCount", form.columnCount},
            {"firstColumn", form.firstColumn},
            {"lineCount", form.lineCount},
            {"firstLine", form.firstLine},
            {"lineCount2", form.lineCount2},
            {"firstLine2", form.firstLine2},
            {"labelWidth2", form.labelWidth2},
            {"textWidth2", form.textWidth2},
            {"defaultLabelWidth2", form.defaultLabelWidth2},
            {"defaultTextWidth2", form.defaultTextWidth2},
        };
        json.member("name", form.name);
        json.member("hasHeadings", form.hasHeadings);
        json.member("hasGrid2", form.hasGrid2);
        for (const auto& [name, number] : numbers) json.member(name, number);
        json.endObject();
    }
    json.endArray();

    json.key("lines");
    json.beginArray();
    for (const auto& line : card.lines) {
        json.beginObject();
        json.member("label", line.label);
        json.member("cellInfoIndex", line.cellInfoIndex);
        json.endObject();
    }
    json.endArray();

    json.key("cellInfos");
    json.beginArray();
    for (const auto& info : card.cellInfos) {
        json.beginObject();
        json.member("promptCount", info.promptCount);
        json.member("firstPrompt", info.firstPrompt);
        json.member("helpContext", info.helpContext);
        json.endObject();
    }
    json.endArray();

    json.key("columns");
    json.beginArray();
    for (const auto& column : card.columns) {
        json.beginObject();
        json.member("width", column.width);
        json.member("defaultWidth", column.defaultWidth);
        json.member("heading", column.heading);
        json.endObject();
    }
    json.endArray();

    json.key("prompts");
    json.beginArray();
    for (const auto& prompt : card.prompts) json.value(prompt.text);
    json.endArray();
}

void writeRow(JsonWriter& json, const zqw::RowText& row) {
    json.beginObject();
    json.member("text", row.text.view());
    json.member("noteNo", row.noteNo);
    json.endObject();
}

void writeAnswers(JsonWriter& json, const Card& card, const zqw::PlainNotes& notes) {
    json.key("state");
    json.beginObject();
    json.member("cardFileName", card.cardFileName);
    json.member("cardOpen", card.isOpen);
    json.member("cardChanged", card.isModified);
    json.member("noteFileName", card.notesFileName);
    json.member("notesOpen", card.notesOpen);
    json.endObject();

    json.key("widths");
    json.beginArray();
    for (size_t c = 1; c < card.columns.size(); ++c) json.value(card.columns[c].width);
    json.endArray();

    json.key("sections");
    json.beginArray();
    for (const auto& form : card.sections) {
        json.beginObject();
        json.member("rowCount", form.rowCount);
        json.member("rowCount2", form.rowCount2);
        json.endObject();
    }
    json.endArray();

    const auto validRow = [&card](int index) {
        return index > 0 && index < static_cast<int>(card.rows.size());
    };
    json.key("lines");
    json.beginArray();
    for (size_t i = 1; i < card.lines.size(); ++i) {
        const auto& line = card.lines[i];
        json.beginObject();
        json.member("rowCount", line.rowCount);
        if (line.rowCount == 0) {
            json.key("hidden");
            writeRow(json, validRow(line.firstRow) ? card.rows[line.firstRow] : card.rows.at(0));
        } else {
            json.key("rows");
            json.beginArray();
            int row = line.firstRow;
            for (int k = 0; k < line.rowCount && validRow(row); ++k) {
                writeRow(json, card.rows[row]);
                row = card.rows[row].nextRow;
            }
            json.endArray();
        }
        json.endObject();
    }
    json.endArray();

    json.key("auctions");
    json.beginArray();
    for (int head : {card.auctionHead1, card.auctionHead2, card.auctionHead3}) {
        json.beginArray();
        size_t guard = 0;
        for (int a = head;
             a > 0 && a < static_cast<int>(card.auctions.size()) && guard++ < card.auctions.size();
             a = card.auctions[a].nextRow) {
            const auto& auction = card.auctions[a];
            json.beginObject();
            json.member("noteNo", auction.noteNo);
            json.key("bytes");
            json.beginArray();
            for (char c : auction.text) json.value(static_cast<int>(static_cast<unsigned char>(c)));
            json.endArray();
            json.endObject();
        }
        json.endArray();
    }
    json.endArray();

    json.member("notes", notes.text());
}

// Commands that live in files of their own; each gets the words after its
// name and returns the exit status.
using CommandRunner = int (*)(const std::vector<std::string>& args);
struct ExtraCommand {
    const char* name;
    CommandRunner run;
};
constexpr ExtraCommand kExtraCommands[] = {
    {"import-dos", zqw::runImportDosCommand},
    {"pack", zqw::runPackCommand},
    {"pdf", zqw::runPdfCommand},
    {"send", zqw::runSendCommand},
    {"compare", zqw::runCompareCommand},
    {"check", zqw::runCheckCommand},
    {"html", zqw::runHtmlCommand},
};

int run(const std::vector<std::string>& args) {
    if (args.empty()) {
        usage();
        return kFailed;
    }
    const std::string& command = args[0];
    for (const ExtraCommand& extra : kExtraCommands) {
        if (extra.name && command == extra.name) {
            return extra.run(std::vector<std::string>(args.begin() + 1, args.end()));
        }
    }
    const size_t wanted = command == "template" ? 2
                          : command == "card"   ? 3
                          : command == "resave" ? 4
                                                : 0;
    if (wanted == 0 || args.size() != wanted) {
        usage();
        return kFailed;
    }

    zqw::MessageList messages;
    zqw::PlainNotes notes;
    Card card(messages, notes);
    zqw::RememberedNotesLinks remembered(&messages);
    card.setNotesLinkApproval(&remembered);
    if (!card.parseTemplateFile(args[1])) return fail("cannot read the template " + args[1]);

    JsonWriter json;
    json.beginObject();
    int status = 0;
    if (command == "template") {
        writeMessages(json, messages.messages);
        writeShape(json, card);
    } else {
        card.cardFileName = args[2];
        if (!card.readCardFile()) return fail(messages.messages.back());
        if (command == "card") {
            writeMessages(json, messages.messages);
            writeAnswers(json, card, notes);
        } else {
            card.cardFileName = args[3];
            if (!card.writeCardFile()) status = kFailed;
            writeMessages(json, messages.messages);
        }
    }
    json.endObject();
    std::cout << json.text() << '\n';
    std::cout.flush();
    if (!std::cout) return fail("cannot write the output");
    if (status != 0) return fail("cannot write " + args[3]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return run(args);
}
