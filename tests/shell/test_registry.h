// The window tests are one QtTest program. Each test class registers itself from its own
// file with one line at file scope, and main.cpp runs every registered class in turn:
//
//     static const int kRegistered = registerTest([]() -> QObject* { return new MyTest; });
#pragma once

#include <QObject>

int registerTest(QObject* (*factory)());
