#ifndef PLATFORM_H
#define PLATFORM_H

#include <QString>

// Operating-system branches are chosen from the kernel type string with two
// independent case-sensitive tests: "win" and "linux". A kernel matching neither
// takes neither branch.
struct PlatformKind
{
    bool windows = false;
    bool linuxKernel = false;
};

PlatformKind platformOf(const QString &kernelType);

// QSysInfo::kernelType(), unless a test has put another kernel type in its place.
QString currentKernelType();
PlatformKind currentPlatform();
void setKernelTypeOverride(const QString &kernelType); // empty restores the real one

#endif
