#ifndef METRICSFILE_H
#define METRICSFILE_H

#include <QByteArray>
#include <QString>

// Whether a path can take a metrics file: its name must end in ".prom", the only files the
// textfile collector of a Prometheus node exporter reads.
bool isMetricsFilePath(const QString &path);

// Replaces the file at path with the bytes at once, so a scrape never reads half a file: they go
// into a new file in the same folder (readable by all: the exporter runs as its own user) that
// is then renamed over the name. A symbolic link at the name is replaced, never written through.
// False, and nothing at the name changed, where this cannot be done.
bool replaceFileAtomically(const QString &path, const QByteArray &bytes);

#endif
