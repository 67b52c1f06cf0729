// The baseline of startup_bench: an empty QMainWindow of the editor's size,
// in a program that links Qt Widgets and nothing else.

#include "startup_bench_child.h"

int main(int argc, char** argv) {
    using namespace startup_bench;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return runEmptyWindow(argc, argv);
}
