#ifndef PROCESSES_H
#define PROCESSES_H

#include <QDir>
#include <QFile>

// Living processes of a process group; the zombies that an init which does not reap
// leaves behind count as gone.
inline int livingInGroup(qint64 group)
{
    int living = 0;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // After the name in parentheses: state, parent, group.
        const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
        living += fields.size() > 2 && fields.at(2).toLongLong() == group && fields.at(0) != "Z";
    }
    return living;
}

// The number a command wrote into the file, once it is there.
inline qint64 numberIn(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

#endif
