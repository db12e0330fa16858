// The dialog tests: every test class registered with registerTest (see test_registry.h).
#include "test_registry.h"

int main(int argc, char** argv) { return runRegisteredTests(argc, argv); }
