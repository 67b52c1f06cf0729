// The Edit menu's line commands, clipboard and undo.

#include "mainwindow/truvcce.h"

void TRUVCCE::Edit1Click() { storePendingEdits(); }

void TRUVCCE::Insertlinebefore1Click() {}

void TRUVCCE::Deleteline1Click() {}

void TRUVCCE::InsertlineAfter1Click() {}

void TRUVCCE::Replicatedown1Click() {}

void TRUVCCE::Copy1Click() {}

void TRUVCCE::Paste1Click() {}

void TRUVCCE::Cut1Click() {}

void TRUVCCE::Undo1Click() {}

void TRUVCCE::ReDo1Click() {}

void TRUVCCE::RePrint() {}
