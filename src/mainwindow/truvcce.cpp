#include "truvcce.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QTreeWidget>

#include "cp1252.h"
#include "texthelpers.h"

namespace {

QString fromCard(const std::string& text) {
    std::string shown = text;
    zqw::codesToSymbols(shown, {});
    return QString::fromStdString(zqw::cp1252ToUtf8(shown));
}

}  // namespace

TRUVCCE::TRUVCCE(QWidget* parent) : QMainWindow(parent), card_(*this, notes_) {
    setWindowTitle(QStringLiteral("ZQW Convention card editor: UnNamed file"));
    resize(900, 640);
    card_.ProgramDir = QCoreApplication::applicationDirPath().toStdString();
    registerCardFonts();
    const QString templatePath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zqw.sel"));
    if (!card_.ParseTemplateFile(templatePath.toStdString())) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("zqw.sel file not found"));
        return;
    }
    card_.ResetBlankCard();
    notes_.startEmpty();
    card_.NotesOpen = true;
    buildTabs();
}

TRUVCCE::~TRUVCCE() {
    for (int id : fontIds_) QFontDatabase::removeApplicationFont(id);
}

void TRUVCCE::showMessage(std::string_view text) {
    QMessageBox::information(this, windowTitle(), QString::fromStdString(zqw::cp1252ToUtf8(text)));
}

void TRUVCCE::registerCardFonts() {
    const QDir dir(QCoreApplication::applicationDirPath());
    for (const char* name : {"cardaral.ttf", "cardcour.ttf", "cardfoot.ttf", "cardtime.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(dir.filePath(QString::fromLatin1(name)));
        if (id >= 0) fontIds_.append(id);
    }
}

void TRUVCCE::buildTabs() {
    NB1 = new QTabWidget(this);
    NB1->setFont(QFont(QStringLiteral("CardArial"), 9));
    for (size_t g = 0; g < card_.Groups.size(); ++g) {
        const zqw::AGroupHead& group = card_.Groups[g];
        auto* tree = new QTreeWidget(NB1);
        tree->setHeaderHidden(true);
        for (int s = 0; s < group.SectionCount; ++s) {
            const zqw::AForm& form = card_.Sections[group.FirstSection + s];
            auto* item = new QTreeWidgetItem(tree, {fromCard(form.Name)});
            const auto addLines = [&](int first, int count) {
                for (int i = 0; i < count; ++i) {
                    new QTreeWidgetItem(item, {fromCard(card_.Lines[first + i].Label)});
                }
            };
            if (form.ColumnCount != 0) addLines(form.FirstLine, form.LineCount);
            if (form.HasGrid2) addLines(form.FirstLine2, form.LineCount2);
        }
        tree->expandAll();
        NB1->addTab(tree, fromCard(card_.TabCaptions[g]));
    }
    setCentralWidget(NB1);
}
