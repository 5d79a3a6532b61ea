#include "check/metricsfile.h"
#include "probe/regularfile.h"

#include <QFileInfo>

bool isMetricsFilePath(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.size() > 5 && name.endsWith(QLatin1String(".prom"));
}

bool replaceFileAtomically(const QString &path, const QByteArray &bytes)
{
    // The program's own file: a link at the name is replaced, never followed. Readable by all,
    // as the exporter runs as its own user; the new file's name does not end in ".prom", so the
    // collector never reads it half written.
    return replaceFile(
        path, FileOwner::Program, [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); },
        false, 0644);
}
