#pragma once
#include <QObject>

// Starts the program: the application with its style and name, the window on the real
// port and event loop, shown; returns when the window has ended the loop. A watcher, when
// given, sees the window's events before the window does (the start-up probe's use).
int run_program(int argc, char* argv[], QObject* window_watcher = nullptr);
