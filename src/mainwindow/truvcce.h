#pragma once

#include <QMainWindow>
#include <memory>

#include "card.h"
#include "plainnotes.h"

class QTabWidget;

// The editor's main window: loads the template and a blank card from the
// program directory and shows the card's groups and sections.
class TRUVCCE : public QMainWindow, private zqw::MessageSink {
    Q_OBJECT

public:
    explicit TRUVCCE(QWidget* parent = nullptr);
    ~TRUVCCE() override;

    zqw::Card& card() { return card_; }

private:
    void showMessage(std::string_view text) override;
    void registerCardFonts();
    void buildTabs();

    zqw::PlainNotes notes_;
    zqw::Card card_;
    QTabWidget* NB1 = nullptr;
    QList<int> fontIds_;
};
