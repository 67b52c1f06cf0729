// Find and replace in the notes.

#include "mainwindow/truvcce.h"

void TRUVCCE::Findstring1Click() {}

void TRUVCCE::Replacestring1Click() {}

void TRUVCCE::Searchagain1Click() {}
