#include "platform/durablefolder.h"

#include <QFileDevice>

namespace platform {

// Where the system offers neither folder locks nor a way to sync a folder, a save is
// still an atomic replace; only what flush() gives is on the disk. Without a lock there
// is no telling whether another instance is saving, so leftovers are never removed.

DurableFolder::DurableFolder(const QString &) { }

DurableFolder::~DurableFolder() = default;

void DurableFolder::lockShared() { }

bool DurableFolder::lockExclusive()
{
    return false;
}

void DurableFolder::sync() { }

bool DurableFolder::syncFile(QFileDevice &file)
{
    return file.flush();
}

} // namespace platform
