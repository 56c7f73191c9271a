#pragma once

#include <QtGlobal>

namespace testsupport {

/// The resident memory of this process in bytes, or -1 where it cannot be read.
qint64 residentBytes();

} // namespace testsupport
