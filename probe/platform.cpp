#include "probe/platform.h"

#include <QSysInfo>

static QString &kernelTypeOverride()
{
    static QString kernel;
    return kernel;
}

PlatformKind platformOf(const QString &kernelType)
{
    PlatformKind kind;
    // "darwin" also contains "win"; a Mac is not Windows.
    kind.windows = kernelType.contains(QLatin1String("win")) && !kernelType.contains(QLatin1String("darwin"));
    kind.linuxKernel = kernelType.contains(QLatin1String("linux"));
    return kind;
}

QString currentKernelType()
{
    const QString &kernel = kernelTypeOverride();
    return kernel.isEmpty() ? QSysInfo::kernelType() : kernel;
}

PlatformKind currentPlatform()
{
    return platformOf(currentKernelType());
}

void setKernelTypeOverride(const QString &kernelType)
{
    kernelTypeOverride() = kernelType;
}
