// Start-up of the editor against an empty QMainWindow of the same size: the
// time from starting the process to its first painted window, the time to
// its exit, and its peak memory. Each side runs as a child process, in
// turns, with settings and state folders of its own; the figures are the
// medians of the runs and the ratios editor/baseline, both measured in the
// same run. Run by hand, not a test.
//
//     startup_bench [runs]       every side, `runs` times each (default 15)
//     startup_bench editor       one editor start, as the program starts
//     startup_bench_empty        one empty-window start in a Qt-only program
//     startup_bench_empty menus  the same window with the editor's menu titles
//
// QT_QPA_PLATFORM is passed on to the children (offscreen when unset); on a
// virtual X server: QT_QPA_PLATFORM=xcb xvfb-run -a startup_bench.
//
// The editor side is this executable, which links the editor as the
// program does. The baselines run in startup_bench_empty beside it, which
// links Qt Widgets and nothing else, so that the ratios hold the editor's
// cost of loading and binding its shared libraries too. The empty window
// draws no text at all; the second baseline draws a menu bar of titles, the
// least text a window shows, and so pays the font system's start: its ratio
// is what the editor costs beyond any window that shows a word.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/editorapp.h"
#include "app/fontwarmup.h"
#include "benchsupport.h"
#include "dialogs/userdialogs.h"
#include "mainwindow/mainwindow.h"
#include "startup_bench_child.h"

namespace {

using bench::median;

using namespace startup_bench;

// A child that has not painted by then is stuck (a dialog nobody answers).
constexpr unsigned kChildTimeLimitSeconds = 120;

// Any dialog at start-up (a message, the recovery question) would wait for
// a user and spoil the figures: the start fails instead.
class NoDialogs : public UserDialogs {
public:
    void message(const QString& text) override { fail("message", text); }
    void information(const QString& text) override { fail("information", text); }
    Answer question(const QString& text, bool) override { fail("question", text); }
    Answer questionDefaultNo(const QString& text) override { fail("question", text); }
    std::optional<QString> inputBox(const QString&, const QString& prompt,
                                    const QString&) override {
        fail("input box", prompt);
    }
    std::optional<QString> openFile(const FileRequest& request) override {
        fail("open file", request.caption);
    }
    std::optional<QString> saveFile(const FileRequest& request) override {
        fail("save file", request.caption);
    }
    std::optional<QString> chooseFolder(const QString& caption, const QString&) override {
        fail("choose folder", caption);
    }
    int execDialog(QDialog&) override { fail("dialog", {}); }

private:
    [[noreturn]] static void fail(const char* kind, const QString& text) {
        std::fprintf(stderr, "startup_bench: unexpected %s at start-up: %s\n", kind,
                     qPrintable(text));
        std::_Exit(3);
    }
};

int runEditor(int argc, char** argv) {
    startFontConfigLoading();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZQW_VEZ"));
    NoDialogs dialogs;
    EditorApp editor(dialogs);
    if (!editor.isReady()) return 1;
    FirstPaint painted(editor.mainWindow());
    editor.mainWindow().show();
    return QApplication::exec();
}

struct Run {
    double paintMs = 0;  // start to first paint
    double exitMs = 0;   // start to exit
    double cpuMs = 0;    // processor time, user and system, to exit
    double peakMb = 0;   // maximum resident set
};

// A settings folder of the editor's first run, save that the start-up hints
// stay away (as in the tests) and the window has the empty one's size.
bool writeSettings(const std::filesystem::path& configDir) {
    std::filesystem::create_directories(configDir / "ZQW_VEZ");
    std::ofstream ini(configDir / "ZQW_VEZ" / "zqwcce.ini", std::ios::binary);
    ini << "[setup]\r\nhintstart=0\r\nLeft=" << kLeft << "\r\nTop=" << kTop
        << "\r\nwidth=" << kWidth << "\r\nheight=" << kHeight << "\r\n";
    return static_cast<bool>(ini.flush());
}

// The empty window's program, beside this one.
std::string emptyProgram(const char* self) {
    return (std::filesystem::path(self).parent_path() / "startup_bench_empty").string();
}

// Runs one child and measures it; false when it failed.
bool runChild(const char* self, const char* mode, Run& run) {
    char pattern[] = "/tmp/startup_bench.XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("startup_bench: mkdtemp");
        return false;
    }
    const std::filesystem::path home(pattern);
    const bool written = writeSettings(home / "config");
    std::filesystem::create_directories(home / "state");
    int report[2];
    if (!written || pipe2(report, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "startup_bench: cannot prepare %s\n", pattern);
        std::filesystem::remove_all(home);
        return false;
    }

    // The children's warnings would drown the figures: kept, and shown
    // when a child fails.
    const std::filesystem::path errors = home / "stderr.txt";
    const long long start = monotonicNs();
    const pid_t child = fork();
    if (child == 0) {
        dup2(report[1], kReportFd);  // dup2 leaves close-on-exec off the copy
        const int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (errorFile >= 0) dup2(errorFile, STDERR_FILENO);
        setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
        setenv(kStartVariable, std::to_string(start).c_str(), 1);
        alarm(kChildTimeLimitSeconds);
        const bool editor = std::string(mode) == "editor";
        const std::string program = editor ? self : emptyProgram(self);
        const char* argument = std::string(mode) == "qt-menus" ? "menus" : mode;
        execl(program.c_str(), program.c_str(), argument, static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    close(report[1]);
    if (child < 0) {
        std::perror("startup_bench: fork");
        close(report[0]);
        std::filesystem::remove_all(home);
        return false;
    }
    int status = 0;
    rusage usage{};
    pid_t waited = -1;
    do {
        waited = wait4(child, &status, 0, &usage);
    } while (waited < 0 && errno == EINTR);
    const long long end = monotonicNs();
    char text[64] = {};
    const ssize_t got = read(report[0], text, sizeof text - 1);
    close(report[0]);
    const bool failed =
        waited != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || got <= 0;
    if (failed) {
        std::fprintf(stderr, "startup_bench: the %s child failed (status %d)\n", mode, status);
        std::ifstream log(errors);
        std::fprintf(stderr, "%s", std::string(std::istreambuf_iterator<char>(log), {}).c_str());
    }
    std::filesystem::remove_all(home);
    if (failed) return false;
    run.paintMs = std::atoll(text) / 1e6;
    run.exitMs = (end - start) / 1e6;
    run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    run.peakMb = usage.ru_maxrss / 1024.0;
    return true;
}

int runAll(const char* self, int runs) {
    std::printf(
        "Start-up, editor against an empty QMainWindow (%dx%d), platform %s, %d runs each\n",
        kWidth, kHeight, std::getenv("QT_QPA_PLATFORM"), runs);
    // The sides, each started once first, not counted: that fills the
    // system's file and font caches for all.
    const char* const modes[] = {"editor", "qt-only", "qt-menus"};
    constexpr size_t kSides = std::size(modes);
    Run ignored;
    for (const char* mode : modes)
        if (!runChild(self, mode, ignored)) return 1;

    std::vector<Run> sides[kSides];
    for (int k = 0; k < runs; ++k) {
        // In turns, each side first in its turn, so that a change in the
        // machine's load falls on all alike.
        for (size_t i = 0; i < kSides; ++i) {
            const size_t side = (static_cast<size_t>(k) + i) % kSides;
            Run run;
            if (!runChild(self, modes[side], run)) return 1;
            sides[side].push_back(run);
        }
    }

    const auto column = [](const std::vector<Run>& list, double Run::*field) {
        std::vector<double> values;
        for (const Run& run : list) values.push_back(run.*field);
        return values;
    };
    // Each turn's ratio, then their median: a turn ran under one load.
    const auto pairedRatio = [&](const std::vector<Run>& empty, double Run::*field) {
        std::vector<double> ratios;
        for (size_t k = 0; k < sides[0].size(); ++k)
            ratios.push_back(sides[0][k].*field / empty[k].*field);
        return median(ratios);
    };
    const struct {
        const char* caption;
        double Run::*field;
        const char* unit;
    } figures[] = {{"to first paint", &Run::paintMs, "ms"},
                   {"to exit", &Run::exitMs, "ms"},
                   {"CPU time to exit", &Run::cpuMs, "ms"},
                   {"peak memory (max RSS)", &Run::peakMb, "MiB"}};
    // Ratios to the empty window, and to the window with menu titles.
    std::printf("  %-22s %11s %11s %8s %11s %8s\n", "median", "editor", "empty", "ratio",
                "menu titles", "ratio");
    for (const auto& figure : figures) {
        std::printf("  %-22s %7.1f %-3s %7.1f %-3s %8.2f %7.1f %-3s %8.2f\n", figure.caption,
                    median(column(sides[0], figure.field)), figure.unit,
                    median(column(sides[1], figure.field)), figure.unit,
                    pairedRatio(sides[1], figure.field), median(column(sides[2], figure.field)),
                    figure.unit, pairedRatio(sides[2], figure.field));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "editor") return runEditor(argc, argv);
    int runs = 15;
    if (!mode.empty()) {
        runs = std::atoi(mode.c_str());
        if (runs < 1) {
            std::fprintf(stderr, "usage: startup_bench [runs | editor]\n");
            return 2;
        }
    }
    // The children are this program, by its real path, and the Qt-only
    // program beside it.
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    return runAll(self.c_str(), runs);
}
