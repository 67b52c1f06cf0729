#include "commands/menutable.h"

QList<MenuLayout> editorMenus() {
    QStringList groupItems;
    QStringList sectionItems;
    for (int k = 1; k <= 10; ++k) {
        groupItems << QStringLiteral("selectGroup%1").arg(k);
        sectionItems << QStringLiteral("selectSection%1").arg(k);
    }
    return {
        {QStringLiteral("fileMenu"),
         QStringLiteral("&File"),
         {QStringLiteral("newCard"), QStringLiteral("openCard"), QStringLiteral("importDosCard"),
          QStringLiteral("saveCard"), QStringLiteral("saveCardAs"), QStringLiteral("closeCard"),
          QStringLiteral("printCard"), QStringLiteral("printLayout"),
          QStringLiteral("compareWithCard"), QStringLiteral("exportWebPage"),
          QStringLiteral("exit")}},
        {QStringLiteral("notesMenu"),
         QStringLiteral("&Notes"),
         {QStringLiteral("newNotes"), QStringLiteral("openNotes"), QStringLiteral("saveNotes"),
          QStringLiteral("saveNotesAs"), QStringLiteral("closeNotes"), QStringLiteral("printNotes"),
          QStringLiteral("-"), QStringLiteral("linkNotesToCard")}},
        {QStringLiteral("topMenu"), QStringLiteral("&Top"), groupItems},
        {QStringLiteral("rightMenu"), QStringLiteral("&Right"), sectionItems},
        {QStringLiteral("editMenu"),
         QStringLiteral("&Edit"),
         {QStringLiteral("insertLineBefore"), QStringLiteral("deleteLine"),
          QStringLiteral("insertLineAfter"), QStringLiteral("replicateDown"),
          QStringLiteral("find"), QStringLiteral("replace"), QStringLiteral("findAgain"),
          QStringLiteral("copy"), QStringLiteral("paste"), QStringLiteral("cut"),
          QStringLiteral("undo"), QStringLiteral("redo"), QStringLiteral("editColumn")}},
        {QStringLiteral("optionsMenu"),
         QStringLiteral("&Options"),
         {QStringLiteral("chooseCardFont"), QStringLiteral("chooseNotesFont"),
          QStringLiteral("editPrintLayout"), QStringLiteral("viewHints"),
          QStringLiteral("toggleNoteTabs"), QStringLiteral("toggleRightMousePrompts"),
          QStringLiteral("toggleColouredSuits"), QStringLiteral("checkCard"),
          QStringLiteral("producePackage"), QStringLiteral("emailPackage"),
          QStringLiteral("backupPackage"), QStringLiteral("chooseSuitSymbols"),
          QStringLiteral("editAuctions"), QStringLiteral("toggleTrueColumnWidth"),
          QStringLiteral("togglePrintAuctions")}},
        {QStringLiteral("helpMenu"),
         QStringLiteral("&Help"),
         {QStringLiteral("showAbout"), QStringLiteral("showBasicHelp"),
          QStringLiteral("showPrompts"), QStringLiteral("attachNoteToCell"),
          QStringLiteral("toggleCustomPrompts"), QStringLiteral("showCompletionGuide"),
          QStringLiteral("showCellHelp")}},
    };
}
