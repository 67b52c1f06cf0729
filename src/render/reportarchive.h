#pragma once

#include <QByteArray>
#include <QDate>
#include <QPageSize>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "card/cardprintplan.h"
#include "card/filelimits.h"
#include "card/notesprintplan.h"
#include "render/pagedreport.h"

class PrintLayoutSettings;
struct DisplayFontSettings;

// A report archive: a printout kept in a file of our own, to be shown in the
// print preview again ("View archive") or printed later.
//
// An archive keeps what the printout was made from, not drawn pages: the
// card template and card file (or the notes lines and the texts the notes
// printout names), the print settings and fonts, the pages chosen and the
// print date. Viewing it draws the pages again with the page painters, so
// reading an archive someone sent us runs nothing but our own readers of
// bounded, checked fields (the template and card readers among them).
//
// File layout (big-endian; lengths in micrometres; a "text" is a 32-bit
// byte count and that many bytes):
//   8 bytes   magic "ZQWRAF\x1a\n"
//   quint32   format version (2; version 1 held drawn pages and is refused)
//   quint8    kind: 1 card, 2 notes
//   text      paper name (UTF-8)
//   quint32   paper width, paper height (held upright)
//   quint8    orientation: 0 portrait, 1 landscape
//   quint32   margins: top, bottom, left, right
//   quint8    layout columns (1..3)
//   quint8    suit symbols: 0 bit maps, 1 letters, 2 fonts, 255 none chosen
//   quint8    opening bids on all lines, new page at each note, new page at
//             the brown sticker (0 or 1 each)
//   text      display font family (UTF-8)
//   quint8    display font size, notes font size (points)
//   4 bytes   club, diamond, heart and spade display characters
// then for a card:
//   quint8    pages: 0 all, 1 the first, 2 the second
//   text      the card template, text the card file
// or for notes:
//   text      notes file name, text title text 1, text title text 2
//   quint32   print date as a Julian day
//   quint8    1 when only a selection prints, then quint32 x 4: its start
//             line, start column, end line and end column (else 0)
//   quint32   line count, then a text per line
// and nothing after. Every count and length is checked against the bytes
// left and a limit of its own before anything is allocated.
class ReportArchive : public PagedReport {
public:
    static constexpr quint32 kVersion = 2;
    // The limit for every reader of outside files (card/filelimits.h).
    static constexpr qint64 kMaxFileBytes = qint64{zqw::kMostReportArchiveBytes};
    // The card template an archive may hold; the bundled one is 20 kB.
    static constexpr quint32 kMaxTemplateBytes = 4u << 20;
    // For the open and save dialogs.
    static const QString& fileFilter();     // "Report archive files (*.raf);;All files (*.*)"
    static const QString& defaultSuffix();  // "raf"

    // An archive of nothing: no pages.
    ReportArchive();
    ReportArchive(const ReportArchive& other);
    ReportArchive& operator=(const ReportArchive& other);
    ReportArchive(ReportArchive&&) noexcept;
    ReportArchive& operator=(ReportArchive&&) noexcept;
    ~ReportArchive() override;

    // The card printout, as the card, the template it was read with and the
    // settings stand now. nullopt, with a message in *error, when the card
    // cannot be kept this way (its template does not read back to the same
    // card).
    static std::optional<ReportArchive> ofCard(const std::string& templateBytes,
                                               const zqw::Card& card,
                                               const PrintLayoutSettings& layout,
                                               const DisplayFontSettings& fonts,
                                               zqw::CardPages pages, QString* error = nullptr);

    struct NotesPrintout {
        std::vector<std::string> lines;
        std::string notesFileName;
        zqw::NotesTitleTexts titleTexts;
        QPageSize paper;
        std::optional<zqw::NotesSelection> selection;
        QDate printDate;
    };
    // The notes printout of these lines with these settings. Never fails for
    // notes the editor holds; nullopt with a message otherwise.
    static std::optional<ReportArchive> ofNotes(NotesPrintout notes,
                                                const PrintLayoutSettings& layout,
                                                const DisplayFontSettings& fonts,
                                                QString* error = nullptr);

    // Reads an archive; nullopt with a message for the user in *error when
    // the file cannot be read or is not a sound archive.
    static std::optional<ReportArchive> load(const QString& path, QString* error = nullptr);
    static std::optional<ReportArchive> fromBytes(const QByteArray& bytes,
                                                  QString* error = nullptr);
    QByteArray toBytes() const;
    // Writes the archive (atomically); false with a message otherwise.
    bool save(const QString& path, QString* error = nullptr) const;

    // PagedReport: the kept printout drawn again.
    void layOut(double dpi) override;
    int pageCount() const override;
    QPageLayout pageLayout() const override;
    void paintPage(QPainter& painter, int index) const override;
    QString jobName() const override;

    struct Source;

private:
    explicit ReportArchive(std::shared_ptr<const Source> source);

    // What the archive was made from; shared by copies, never changed.
    std::shared_ptr<const Source> source_;
    // Draws the source; each copy has its own, since laying out changes it.
    std::unique_ptr<PagedReport> painter_;
};
