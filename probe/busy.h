#ifndef BUSY_H
#define BUSY_H

// While one of these lives the program counts as busy (they nest): a batch run, a
// command of the command tab, a fetch of the web page tab, a blocking command. An
// automatic run that falls due meanwhile waits until none is left.
class BusyScope
{
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
};
bool programBusy();

#endif
