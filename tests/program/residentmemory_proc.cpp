// The resident memory as the kernel reports it in /proc/self/status.
#include "program/residentmemory.h"

#include <QFile>

namespace testsupport {

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            return fields.size() > 1 ? fields.at(1).toLongLong() * 1024 : -1;
        }
    }
    return -1;
}

} // namespace testsupport
