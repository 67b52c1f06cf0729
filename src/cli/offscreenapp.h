#pragma once

#include <functional>

namespace zqw {

// Runs work inside a QGuiApplication on Qt's offscreen platform: printing
// and measuring printed text need fonts and a paint engine, never a screen.
// Qt's notes about its surroundings (a missing runtime folder and the like)
// are not for the user of a command: only real failures reach standard
// error. Returns what work returns.
int runOffscreen(const std::function<int()>& work);

}  // namespace zqw
