// Saves the settings file over and over until it is killed, for tst_crashsafe:
//
//   savekiller <file> <first count> <line A> <line B>
//
// Save number k (counting from <first count>) writes line A when k is even and line B when
// k is odd, each with k in place of its first number, through the program's own save
// (settings::SettingsFile::write). "ready" goes to standard output once the first save is complete.
#include "settings/settingsfile.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <file> <first count> <line A> <line B>\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    bool ok = false;
    const long long first = QByteArray(argv[2]).toLongLong(&ok);
    const settings::SettingsFile::ReadResult a = settings::SettingsFile::parse(argv[3]);
    const settings::SettingsFile::ReadResult b = settings::SettingsFile::parse(argv[4]);
    if (!ok || !a.complete() || !b.complete()) {
        std::fprintf(stderr, "savekiller: bad count or line\n");
        return 2;
    }
    for (long long k = first;; ++k) {
        settings::SavedIntervals::Values values = (k % 2 == 0) ? a.values : b.values;
        values[0] = double(k);
        const settings::SettingsFile::Failure failure = settings::SettingsFile::write(path, values);
        if (failure != settings::SettingsFile::Failure::None) {
            std::fprintf(stderr, "savekiller: save %lld failed (reason %d)\n", k, int(failure));
            return 1;
        }
        if (k == first) {
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
        }
    }
}
