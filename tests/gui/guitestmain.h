#pragma once

#include <QTest>

// The GUI test classes build into one program: twenty programs linked each
// with the whole editor cost more to build than their tests take to run.
// The program's first argument names the class to run (ctest runs each class
// as a test of its own); the rest are QtTest's usual arguments.
using GuiTestRunner = int (*)(int argc, char** argv);
bool registerGuiTest(const char* className, GuiTestRunner run);

// Ends a GUI test file, where QTEST_MAIN would.
#define ZQW_GUI_TEST(TestClass)                                 \
    static const bool zqwGuiTestRegistered##TestClass =         \
        registerGuiTest(#TestClass, [](int argc, char** argv) { \
            TestClass test;                                     \
            return QTest::qExec(&test, argc, argv);             \
        });
