#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The four card fonts, registered for this process from the folder they
// ship in (beside the program) and removed again when this object goes.
// Text in a card font draws } { ] [ as club, diamond, heart and spade, and
// the suits at their own code points as well.
class CardFontRegistration {
public:
    static const QStringList& fileNames();  // cardaral.ttf, cardcour.ttf, ...

    explicit CardFontRegistration(const QString& folder);
    ~CardFontRegistration();
    CardFontRegistration(const CardFontRegistration&) = delete;
    CardFontRegistration& operator=(const CardFontRegistration&) = delete;

    // Font families now available, e.g. "CardArial".
    const QStringList& families() const { return families_; }
    // Files of the folder that were missing or could not be loaded.
    const QStringList& failedFiles() const { return failed_; }

private:
    QList<int> ids_;
    QStringList families_;
    QStringList failed_;
};
