// The right-button prompt list and the column edit window.

#include "mainwindow/truvcce.h"

void TRUVCCE::Prompts1Click() {}

void TRUVCCE::TB1MouseDown(QLineEdit*, Qt::MouseButton) {}

void TRUVCCE::TB1MouseUp(QLineEdit* editor, Qt::MouseButton button) {
    if (button == Qt::LeftButton) captureInsertionPoint(editor);
}

void TRUVCCE::Notepadcolumnedit1Click() {}
