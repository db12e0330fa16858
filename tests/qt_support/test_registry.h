// The window tests: each folder's tests are one QtTest program. Each test class
// registers itself from its own file with one line at file scope,
//
//     static const int kRegistered = RegisterTest([]() -> QObject* { return new MyTest; });
//
// and the folder's main.cpp hands over to RunRegisteredTests, which runs every
// registered class in turn. The program fails when any class has a failing test.
#pragma once

#include <QObject>

int RegisterTest(QObject* (*factory)());

// Runs every registered class with the program's arguments, under a QApplication on
// the offscreen platform unless QT_QPA_PLATFORM says otherwise. prepare, when given,
// runs once the application exists and before the first class. Returns 0 when every
// test passed, 1 otherwise.
int RunRegisteredTests(int argc, char** argv, void (*prepare)() = nullptr);
