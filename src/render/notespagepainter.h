#pragma once

#include <QDate>
#include <QFont>
#include <QPageSize>
#include <optional>
#include <string>
#include <vector>

#include "card/notesprintplan.h"
#include "render/displayfontsettings.h"
#include "render/pagedreport.h"
#include "render/printlayoutsettings.h"
#include "render/suitpictures.h"

// The printed notes: a title naming the notes file and two texts of the
// card, one band per notes line (long lines wrap onto further bands), a rule
// above every note heading, a footer with the date and the page's place in
// its page set, and new page sets at note headings as the layout settings
// ask ("On new Note", "On Brown sticker"). Portrait, margins of 6.35 mm.
//
//     NotesPagePainter notes(lines, notesPath, zqw::notesTitleTexts(card, fonts.suitChars),
//                            layout, fonts, QPageSize(QPageSize::A4));
//     notes.setSelection(selection);                // "Selected text"
//     printReport(notes, printer);
//
// The settings must outlive the painter; the lines are copied.
class NotesPagePainter : public PagedReport {
public:
    static constexpr double kMarginMm = 6.35;

    NotesPagePainter(std::vector<std::string> lines, std::string notesFileName,
                     zqw::NotesTitleTexts titleTexts, const PrintLayoutSettings& layout,
                     const DisplayFontSettings& fonts, const QPageSize& paper);

    // Prints only the selection ("Selected text"); nullopt prints all.
    void setSelection(std::optional<zqw::NotesSelection> selection) { selection_ = selection; }
    // The date in the footer; today unless set.
    void setPrintDate(const QDate& date) { date_ = date; }

    void layOut(double dpi) override;
    int pageCount() const override;
    QPageLayout pageLayout() const override;
    void paintPage(QPainter& painter, int index) const override;
    QString jobName() const override;

    const zqw::NotesPrintPlan& plan() const { return plan_; }

private:
    std::vector<std::string> lines_;
    std::string notesFileName_;
    zqw::NotesTitleTexts titleTexts_;
    const PrintLayoutSettings& layout_;
    const DisplayFontSettings& fonts_;
    QPageSize paper_;
    std::optional<zqw::NotesSelection> selection_;
    QDate date_;

    zqw::NotesPrintPlan plan_;
    double dpi_ = 0;
    double margin_ = 0;
    int pageWidth_ = 0;
    int pageHeight_ = 0;
    int titleHeight_ = 0;
    int footerHeight_ = 0;
    int groupHeaderHeight_ = 0;
    QFont labelFont_;
    QFont headingFont_;
    bool suitsAsCharacters_ = true;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    qreal ruleWidth_ = 0;
};
