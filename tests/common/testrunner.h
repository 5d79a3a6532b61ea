#ifndef TESTRUNNER_H
#define TESTRUNNER_H

#include <QList>

class QObject;

// Each test program runs every test class registered in it, one after another.
// A class registers itself with NETCHECK_TEST(ClassName) in its .cpp file.
namespace TestRunner
{
using Factory = QObject *(*)();
struct Registrar
{
    Registrar(const char *name, Factory make);
};
} // namespace TestRunner

#define NETCHECK_TEST(Class)                                                                                 \
    static TestRunner::Registrar registrar_##Class(#Class, []() -> QObject * { return new Class; });

#endif
