#pragma once

class QDialog;
class QHBoxLayout;
class QLabel;
class QSpinBox;
class QString;
class QWidget;

// Pieces the small option dialogs share.

// OK (default) and Cancel in a row; Cancel rejects the dialog, OK is left to
// the caller, which applies the choice before accepting. Esc cancels
// through QDialog itself.
QHBoxLayout* okCancelRow(QDialog& dialog, const char* okObjectName = "okButton");

// The font sample of the font dialogs.
QLabel* fontSample(QWidget* parent);

QSpinBox* fontSizeSpin(QWidget* parent, int minimum, int maximum);

// Puts a dialog in the middle of its screen rather than over the editor.
void centreOnScreen(QDialog& dialog);
