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

    /// Why the file could not be read or written.
    enum class Failure {
        None,          ///< it worked
        Missing,       ///< there is no file to read
        NoPermission,  ///< the user may not read or write it (or the file system is read-only)
        DiskFull,      ///< no space left (or the user's quota is used up)
        IsFolder,      ///< the path names a folder
        FolderNotMade, ///< the folder that should hold the file cannot be made
        Other,         ///< any other failure of the system, an input/output error for one
    };

    /// The most a settings file is read of: nine numbers fit in far less.
    static constexpr qint64 kMaxRead = 64 * 1024;

    /// Reads nine numeric fields. A DOS end-of-file mark (Ctrl-Z, 0x1A) ends the content.
    /// A field ends at a comma or a line end; blanks before a field and line ends between
    /// fields are skipped; a field is a number with an optional sign, an optional fraction
    /// after a point and an optional exponent, or nothing at all between two commas,
    /// which counts 0. Anything after the ninth field is ignored. Reading stops at the
    /// first field that is missing, is not a number or is not finite; the fields before
    /// it are kept.
    static ReadResult parse(const QByteArray &content);

    /// The file's line: the nine values in their shortest exact form without exponent, a
    /// point as decimal separator, no blanks, then CR LF.
    static QByteArray format(const SavedIntervals::Values &values);

    /// Where the settings file lives and is saved: the user's configuration folder
    /// ($XDG_CONFIG_HOME, else ~/.config) on Linux, %APPDATA% on Windows.
    static QString defaultPath();
    /// The file the saved intervals are read from: defaultPath(), or while it does not
    /// exist the first that exists of where earlier versions of the program kept it (so
    /// that a returning user keeps his times); defaultPath() when none does.
    static QString pathToRead();

    /// Puts the first kMaxRead bytes of the file into *content.
    static Failure read(const QString &path, QByteArray *content);

    /// Replaces the file whole: the line goes into a temporary file beside it, which is
    /// synced to the disk and then renamed over the file, and the folder is synced after
    /// the rename. A save that fails or is interrupted, even by a power cut, leaves the
    /// earlier file as it was; a failed save removes its temporary file. Leftovers of
    /// earlier saves that were killed half way are removed afterwards (removeLeftovers).
    static Failure write(const QString &path, const SavedIntervals::Values &values);

    /// Removes the temporary files that killed saves left beside the file at path (its
    /// name, a point and six letters or digits, holding no more than a cut settings
    /// line), but only while no save of any instance of the program is under way: each
    /// save holds a shared lock on the folder, and this needs the exclusive one. Returns
    /// how many were removed.
    static int removeLeftovers(const QString &path);
};

} // namespace settings
