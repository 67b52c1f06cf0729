// Times "Print to file" of the card in process (page plan, drawing, PDF
// writing) for the filled standard card and for cards with 10 and 100 times
// its rows, and prints the ratios against the standard card measured in
// the same run. Asserts nothing; run by hand.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "card/card.h"
#include "card/plainnotes.h"
#include "render/cardfonts.h"
#include "render/cardpagepainter.h"

namespace {

// Gives every shown line `factor` times its rows, the copies appended to
// its chain as row insertion does.
void multiplyRows(zqw::Card& card, int factor) {
    for (size_t l = 1; l < card.lines.size(); ++l) {
        zqw::TemplateLine& line = card.lines[l];
        if (line.rowCount <= 0) continue;
        std::vector<int> chain;
        for (int row = line.firstRow, n = 0; n < line.rowCount && row > 0; ++n) {
            chain.push_back(row);
            row = card.rows[size_t(row)].nextRow;
        }
        int last = chain.back();
        for (int copy = 1; copy < factor; ++copy) {
            for (const int source : chain) {
                zqw::RowText row = card.rows[size_t(source)];
                row.prevRow = last;
                row.nextRow = 0;
                card.rows.push_back(row);
                const int index = static_cast<int>(card.rows.size()) - 1;
                card.rows[size_t(last)].nextRow = index;
                last = index;
            }
        }
        line.rowCount *= factor;
    }
    for (zqw::Section& section : card.sections) {
        section.rowCount *= factor;
        section.rowCount2 *= factor;
    }
}

// Best of a few runs, in milliseconds.
double timePdf(const zqw::Card& card, const QString& path) {
    const PrintLayoutSettings layout;
    const DisplayFontSettings fonts;
    double best = 1e18;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        CardPagePainter pages(card, layout, fonts, zqw::CardPages::All);
        if (!writeReportPdf(pages, path, zqw::CardPageSetup::kDefaultPrinterDpi)) return -1;
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const CardFontRegistration cardFonts(QStringLiteral(ZQW_PROGRAM_DIR));
    QTemporaryDir dir;
    double standard = 0;
    for (const int factor : {1, 10, 100}) {
        zqw::MessageList messages;
        zqw::PlainNotes notes;
        zqw::Card card(messages, notes);
        card.parseTemplateFile(ZQW_SOURCE_DIR "/data/zqw.sel");
        card.cardFileName = ZQW_SOURCE_DIR "/tests/print/filled.ccf";
        card.readCardFile();
        multiplyRows(card, factor);
        size_t rows = 0;
        for (const auto& line : card.lines) rows += size_t(std::max(line.rowCount, 0));
        const double ms = timePdf(card, dir.filePath(QStringLiteral("card.pdf")));
        if (factor == 1) standard = ms;
        std::printf("%4dx card (%6zu rows): %9.1f ms   %6.1f x the standard card\n", factor, rows,
                    ms, standard > 0 ? ms / standard : 0.0);
    }
    return 0;
}
