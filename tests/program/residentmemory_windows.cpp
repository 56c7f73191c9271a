// The resident memory as Windows reports it: the process's working set.
#include "program/residentmemory.h"

#include <windows.h>
#include <psapi.h>

namespace testsupport {

qint64 residentBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return qint64(counters.WorkingSetSize);
}

} // namespace testsupport
