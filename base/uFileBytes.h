#pragma once
// Whole files as bytes through the system's own calls, so that every step is
// checked and every failure keeps its system error number.
//
// Writing goes to a temporary file beside the target that is written, flushed
// to the disk and closed, each step checked, before it replaces the target:
// any failure removes the temporary and leaves the target byte for byte. Where
// no temporary file can be made (a read-only folder), an existing file is
// written in place instead, its old bytes kept in a journal in the user's cache
// folder until the new ones are on the disk: a failure puts them back at once,
// an ended process at the next start (ReplayWriteJournals). A read-only file is
// refused, and a target that is no regular file (a device, a FIFO) is only ever
// written into, never replaced.
#include <QByteArray>
#include <QString>
#include <QStringList>

// The German text of a system error number (errno) of a file operation.
QString SystemErrorText(int errnum);

// Reads the file into bytes; returns 0 or the system error number. With
// maxBytes >= 0 it reads at most maxBytes + 1 bytes, so the caller can tell a
// file that is too large (also an endless device) without reading it all.
int ReadFileBytes(const QString &path, QByteArray &bytes, qint64 maxBytes = -1);

// Why a write was refused before anything was written.
enum class TWriteRefusal {
    None,
    ReadOnlyFile, // the target lacks write rights for the user (a rename would ignore them)
    NotAFile,     // the target is a device, FIFO or socket that takes no bytes
};

struct TWriteResult
{
    int Error = 0;        // 0 or the system error number
    bool Damaged = false; // a failed in-place write could not restore the old bytes
    TWriteRefusal Refusal = TWriteRefusal::None;
    explicit operator bool() const { return Error == 0; }
};

// Replaces the file's contents by bytes (see above). A symbolic link keeps
// pointing at the file it names; a replaced file keeps its access rights.
TWriteResult WriteFileBytes(const QString &path, const QByteArray &bytes);

// "Die Datei ... kann nicht geschrieben werden: <reason>" for a failed write.
QString WriteFailureText(const QString &path, const TWriteResult &written);

// Puts back the old bytes of every in-place write that a process left
// unfinished, where the file still shows that write's traces (old or new bytes
// mixed); a file changed since is left as it is. Returns a German notice per
// file put back. Journals another running write holds are left alone.
QStringList ReplayWriteJournals();

// "$XDG_CACHE_HOME/grazlo/journal" (usually ~/.cache/grazlo/journal).
QString WriteJournalFolder();

// Test seam: failures the writer meets as if the system had reported them.
struct TWriteFaults
{
    // Writes of new contents beyond this many bytes per call of WriteFileBytes
    // fail with "no space left"; -1 never.
    qint64 FailAfterBytes = -1;
    // Making the temporary file fails with "permission denied", as in a
    // read-only folder.
    bool NoTemporaryFile = false;
    // The steps of an in-place write, in order.
    enum class TStep {
        None,           // no step: the process is never ended
        JournalWritten, // the old bytes are in the journal, the file untouched
        BytesWritten,   // the new bytes are written, the old tail not cut off yet
        Truncated,      // the file holds the new bytes, not flushed yet
        Synced,         // the new bytes are on the disk, the journal still there
    };
    // The process ends (_exit) right after this step, as if killed.
    TStep ExitAt = TStep::None;
};
void SetWriteFaults(const TWriteFaults &faults);
