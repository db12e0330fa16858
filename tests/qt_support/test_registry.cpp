#include "test_registry.h"

#include <QApplication>
#include <QTest>
#include <cstring>
#include <memory>
#include <vector>

namespace {
std::vector<QObject* (*)()>& Factories() {
    static std::vector<QObject* (*)()> list;
    return list;
}
}  // namespace

int RegisterTest(QObject* (*factory)()) {
    Factories().push_back(factory);
    return static_cast<int>(Factories().size());
}

int RunRegisteredTests(int argc, char** argv, void (*prepare)()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (prepare) prepare();
    // "program SomeTest [function ...]" runs that class alone, with the rest of the
    // arguments; otherwise every class gets all the arguments.
    const char* only = nullptr;
    for (auto factory : Factories()) {
        std::unique_ptr<QObject> test(factory());
        if (argc > 1 && std::strcmp(argv[1], test->metaObject()->className()) == 0) only = argv[1];
    }
    std::vector<char*> args(argv, argv + argc);
    if (only) args.erase(args.begin() + 1);
    int failures = 0;
    for (auto factory : Factories()) {
        std::unique_ptr<QObject> test(factory());
        if (only && std::strcmp(only, test->metaObject()->className()) != 0) continue;
        failures += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
    }
    return failures == 0 ? 0 : 1;
}
