// The baselines of startup_bench: an empty QMainWindow of the editor's size,
// in a program that links Qt Widgets and nothing else; with "menus", the
// same window with a menu bar of the editor's menu titles.

#include "startup_bench_child.h"

int main(int argc, char** argv) {
    using namespace startup_bench;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const bool menus = argc > 1 && std::string(argv[1]) == "menus";
    return runEmptyWindow(argc, argv, menus);
}
