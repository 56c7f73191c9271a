#pragma once

#include "settings/savedintervals.h"

#include <QByteArray>
#include <QString>

namespace settings {

/// The settings file and its format: one line of nine comma-separated numbers, CR LF.
/// Plain reading and writing; telling the user is SettingsStore's job.
class SettingsFile
{
public:
    /// What reading a settings file's content gave.
    struct ReadResult {
        SavedIntervals::Values values{}; ///< fields read in order; the rest left 0
        int fieldsRead = 0;              ///< 9 when the whole file could be read
        bool complete() const { return fieldsRead == SavedIntervals::kCount; }
    };

    /// Reads nine numeric fields. A field ends at a comma or a line end; blanks before a
    /// field and line ends between fields are skipped; a field is a number with an
    /// optional sign, an optional fraction after a point and an optional exponent.
    /// Anything after the ninth field is ignored. Reading stops at the first field that
    /// is missing, is not a number or is not finite; the fields before it are kept.
    static ReadResult parse(const QByteArray &content);

    /// The file's line: the nine values in their shortest exact form without exponent, a
    /// point as decimal separator, no blanks, then CR LF.
    static QByteArray format(const SavedIntervals::Values &values);

    /// Where the settings file lives: the user's configuration folder
    /// ($XDG_CONFIG_HOME, else ~/.config) on Linux, the root of drive C: on Windows.
    static QString defaultPath();

    /// Replaces the file whole, so that an interrupted or failed write leaves the earlier
    /// file as it was. On failure returns false and puts the reason into *error.
    static bool write(const QString &path, const SavedIntervals::Values &values, QString *error);
};

} // namespace settings
