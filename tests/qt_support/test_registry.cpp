#include "test_registry.h"

#include <QApplication>
#include <QTest>
#include <memory>
#include <vector>

namespace {
std::vector<QObject* (*)()>& factories() {
    static std::vector<QObject* (*)()> list;
    return list;
}
}  // namespace

int registerTest(QObject* (*factory)()) {
    factories().push_back(factory);
    return static_cast<int>(factories().size());
}

int runRegisteredTests(int argc, char** argv, void (*prepare)()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (prepare) prepare();
    int failures = 0;
    for (auto factory : factories()) {
        std::unique_ptr<QObject> test(factory());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
