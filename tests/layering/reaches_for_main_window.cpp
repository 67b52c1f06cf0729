// Code of a lower layer that uses the main window; see CMakeLists.txt.
#include "mainwindow/mainwindow.h"

int mainWindowSize() { return static_cast<int>(sizeof(MainWindow)); }
