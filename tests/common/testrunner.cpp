#include "testrunner.h"

#include <QApplication>
#include <QByteArray>
#include <QTest>
#include <vector>

namespace
{
struct Entry
{
    const char *name;
    TestRunner::Factory make;
};

std::vector<Entry> &entries()
{
    static std::vector<Entry> list;
    return list;
}
} // namespace

TestRunner::Registrar::Registrar(const char *name, Factory make)
{
    entries().push_back({ name, make });
}

// Usage: tst_x [ClassName] [QtTest options]. Without a class name every class runs.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);

    QByteArray only;
    std::vector<char *> args(argv, argv + argc);
    if (args.size() > 1 && args[1][0] != '-') {
        only = args[1];
        args.erase(args.begin() + 1);
    }

    int failures = 0;
    int ran = 0;
    for (const Entry &entry : entries()) {
        if (!only.isEmpty() && only != entry.name)
            continue;
        QObject *test = entry.make();
        failures += QTest::qExec(test, int(args.size()), args.data());
        delete test;
        ++ran;
    }
    if (ran == 0 && !only.isEmpty()) {
        qWarning("no test class named %s", only.constData());
        return 1;
    }
    return failures;
}
