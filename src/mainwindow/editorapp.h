#pragma once

#include <memory>

#include "mainwindow/appwindows.h"
#include "mainwindow/truvcce.h"

// The main window and the other windows, made and destroyed in their order:
// the main window first, the others after it; at the end the others go
// first (writing their settings), then the main window writes its own.
class EditorApp {
public:
    explicit EditorApp(UserDialogs& dialogs)
        : main(dialogs), windows(std::make_unique<AppWindows>(main)) {
        main.attachWindows(windows.get());
    }
    ~EditorApp() {
        main.attachWindows(nullptr);
        windows.reset();
        main.FormDestroy();
    }

    EditorApp(const EditorApp&) = delete;
    EditorApp& operator=(const EditorApp&) = delete;

    TRUVCCE main;
    std::unique_ptr<AppWindows> windows;
};
