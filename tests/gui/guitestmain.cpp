#include "guitestmain.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// A function's static, so registrations from other files' static
// initialisers never meet an unconstructed map.
std::map<std::string, GuiTestRunner>& registry() {
    static std::map<std::string, GuiTestRunner> runners;
    return runners;
}

int usage(const char* program) {
    std::fprintf(stderr, "usage: %s TESTCLASS [QtTest options]\ntest classes:\n", program);
    for (const auto& entry : registry()) std::fprintf(stderr, "  %s\n", entry.first.c_str());
    return 2;
}

}  // namespace

bool registerGuiTest(const char* className, GuiTestRunner run) {
    registry().emplace(className, run);
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage(argv[0]);
    const auto found = registry().find(argv[1]);
    if (found == registry().end()) return usage(argv[0]);

    // QtTest sees the program name and its own options, as under QTEST_MAIN.
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    int count = static_cast<int>(arguments.size()) - 1;
    QApplication app(count, arguments.data());
    app.setAttribute(Qt::AA_Use96Dpi, true);
    return found->second(count, arguments.data());
}
