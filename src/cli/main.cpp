// zqwcce-cli: the card core from the command line, for template authors and
// scripts. Prints JSON on standard output; messages the core reports are
// data, so they go into the JSON and the exit status stays 0. Exit 2 means
// the template could not be read or an output could not be written.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "card.h"
#include "jsonwriter.h"
#include "plainnotes.h"

namespace {

using zqw::Card;
using zqw::JsonWriter;

constexpr int kFailed = 2;

void usage() {
    std::cerr << "usage: zqwcce-cli template TEMPLATE\n"
                 "       zqwcce-cli card TEMPLATE CARD\n"
                 "       zqwcce-cli resave TEMPLATE CARD OUT\n";
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
    for (const auto& caption : card.TabCaptions) json.value(caption);
    json.endArray();

    json.key("groups");
    json.beginArray();
    for (const auto& group : card.Groups) {
        json.beginObject();
        json.member("name", group.Name);
        json.member("firstSection", group.FirstSection);
        json.member("sectionCount", group.SectionCount);
        json.endObject();
    }
    json.endArray();

    json.key("sections");
    json.beginArray();
    for (const auto& form : card.Sections) {
        json.beginObject();
        const std::pair<const char*, int> numbers[] = {
            {"groupIndex", form.GroupIndex}, {"columnCount", form.ColumnCount},
            {"firstColumn", form.FirstColumn}, {"lineCount", form.LineCount},
            {"firstLine", form.FirstLine}, {"lineCount2", form.LineCount2},
            {"firstLine2", form.FirstLine2}, {"labelWidth2", form.LabelWidth2},
            {"textWidth2", form.TextWidth2}, {"defaultLabelWidth2", form.DefaultLabelWidth2},
            {"defaultTextWidth2", form.DefaultTextWidth2},
        };
        json.member("name", form.Name);
        json.member("hasHeadings", form.HasHeadings);
        json.member("hasGrid2", form.HasGrid2);
        for (const auto& [name, number] : numbers) json.member(name, number);
        json.endObject();
    }
    json.endArray();

    json.key("lines");
    json.beginArray();
    for (const auto& line : card.Lines) {
        json.beginObject();
        json.member("label", line.Label);
        json.member("cellInfoIndex", line.CellInfoIndex);
        json.endObject();
    }
    json.endArray();

    json.key("cellInfos");
    json.beginArray();
    for (const auto& info : card.CellInfos) {
        json.beginObject();
        json.member("promptCount", info.PromptCount);
        json.member("firstPrompt", info.FirstPrompt);
        json.member("helpContext", info.HelpContext);
        json.endObject();
    }
    json.endArray();

    json.key("columns");
    json.beginArray();
    for (const auto& column : card.Columns) {
        json.beginObject();
        json.member("width", column.Width);
        json.member("defaultWidth", column.DefaultWidth);
        json.member("heading", column.Heading);
        json.endObject();
    }
    json.endArray();

    json.key("prompts");
    json.beginArray();
    for (const auto& prompt : card.Prompts) json.value(prompt.Text);
    json.endArray();
}

void writeRow(JsonWriter& json, const zqw::AText& row) {
    json.beginObject();
    json.member("text", row.Text);
    json.member("noteNo", row.NoteNo);
    json.endObject();
}

void writeAnswers(JsonWriter& json, const Card& card, const zqw::PlainNotes& notes) {
    json.key("state");
    json.beginObject();
    json.member("cardFileName", card.CardFileName);
    json.member("cardOpen", card.CardOpen);
    json.member("cardChanged", card.CardChanged);
    json.member("noteFileName", card.NoteFileName);
    json.member("notesOpen", card.NotesOpen);
    json.endObject();

    json.key("widths");
    json.beginArray();
    for (size_t c = 1; c < card.Columns.size(); ++c) json.value(card.Columns[c].Width);
    json.endArray();

    json.key("sections");
    json.beginArray();
    for (const auto& form : card.Sections) {
        json.beginObject();
        json.member("rowCount", form.RowCount);
        json.member("rowCount2", form.RowCount2);
        json.endObject();
    }
    json.endArray();

    const auto validRow = [&card](int index) {
        return index > 0 && index < static_cast<int>(card.RowTexts.size());
    };
    json.key("lines");
    json.beginArray();
    for (size_t i = 1; i < card.Lines.size(); ++i) {
        const auto& line = card.Lines[i];
        json.beginObject();
        json.member("rowCount", line.RowCount);
        if (line.RowCount == 0) {
            json.key("hidden");
            writeRow(json, validRow(line.FirstRow) ? card.RowTexts[line.FirstRow] : card.RowTexts.at(0));
        } else {
            json.key("rows");
            json.beginArray();
            int row = line.FirstRow;
            for (int k = 0; k < line.RowCount && validRow(row); ++k) {
                writeRow(json, card.RowTexts[row]);
                row = card.RowTexts[row].NextRow;
            }
            json.endArray();
        }
        json.endObject();
    }
    json.endArray();

    json.key("auctions");
    json.beginArray();
    for (int head : {card.AuctionHead1, card.AuctionHead2, card.AuctionHead3}) {
        json.beginArray();
        size_t guard = 0;
        for (int a = head; a > 0 && a < static_cast<int>(card.AuctionTexts.size()) &&
                           guard++ < card.AuctionTexts.size();
             a = card.AuctionTexts[a].NextRow) {
            const auto& auction = card.AuctionTexts[a];
            json.beginObject();
            json.member("noteNo", auction.NoteNo);
            json.key("bytes");
            json.beginArray();
            for (char c : auction.Text) json.value(static_cast<int>(static_cast<unsigned char>(c)));
            json.endArray();
            json.endObject();
        }
        json.endArray();
    }
    json.endArray();

    json.member("notes", notes.text());
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) {
        usage();
        return kFailed;
    }
    const std::string& command = args[0];
    const size_t wanted = command == "template" ? 2 : command == "card" ? 3 : command == "resave" ? 4 : 0;
    if (wanted == 0 || args.size() != wanted) {
        usage();
        return kFailed;
    }

    zqw::MessageList messages;
    zqw::PlainNotes notes;
    Card card(messages, notes);
    if (!card.ParseTemplateFile(args[1])) return fail("cannot read the template " + args[1]);

    JsonWriter json;
    json.beginObject();
    int status = 0;
    if (command == "template") {
        writeMessages(json, messages.messages);
        writeShape(json, card);
    } else {
        card.CardFileName = args[2];
        card.ReadCardFile();
        if (command == "card") {
            writeMessages(json, messages.messages);
            writeAnswers(json, card, notes);
        } else {
            card.CardFileName = args[3];
            if (!card.WriteCardFile()) status = kFailed;
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
