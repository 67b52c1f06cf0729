// The Notes menu, and F3, which attaches a note number to the active cell.

#include "mainwindow/truvcce.h"

void TRUVCCE::NoteFile1Click() {
    storePendingEdits();
    for (const char* name : {"Save2", "SaveAs2", "Close2", "Print2", "Setnotefile1"}) {
        if (QAction* item = actionNamed(QString::fromLatin1(name))) setItemEnabled(item, card_.NotesOpen);
    }
}

void TRUVCCE::New3Click() {}

void TRUVCCE::load2Click() {}

void TRUVCCE::LoadNoteFile() {}

void TRUVCCE::Save2Click() {}

void TRUVCCE::SaveAs2Click() {}

void TRUVCCE::Close2Click() {}

void TRUVCCE::Setnotefile1Click() {}

void TRUVCCE::Notes1Click() {}
