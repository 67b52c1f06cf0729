// The File menu: New, Open (cards and packages), Save, Save As, Close, Exit,
// and the question asked before the window closes.

#include <QCloseEvent>

#include "mainwindow/truvcce.h"

void TRUVCCE::MenFileClick() { storePendingEdits(); }

void TRUVCCE::New1Click() {}

void TRUVCCE::LOad1Click() {}

void TRUVCCE::OpenFile(const QString&) {}

void TRUVCCE::Save1Click() {}

void TRUVCCE::SaveAs1Click() {}

void TRUVCCE::Close1Click() {}

void TRUVCCE::Exit1Click() { close(); }

bool TRUVCCE::FormCloseQuery() { return true; }

void TRUVCCE::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}
