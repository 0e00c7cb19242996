#pragma once

#include <QString>

#include <cstddef>

// A file written beside its target under a temporary name and renamed over
// the target only when complete: a failed write leaves an existing file as it
// was and no temporary file behind. Failures are kept as a short German
// reason ("kein Schreibrecht im Ordner", "der Datenträger ist voll", ...),
// never the system's own text. A target that is a symbolic link is written
// through it, as an editor would; a folder, a device or a pipe under the
// target's name, or an existing file without write permission, is refused.
// Names follow native_path.h.
class SafeFile {
public:
    explicit SafeFile(QString target);
    ~SafeFile();  // discards an uncommitted temporary file
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Creates the temporary file. False with reason() set on failure.
    bool open();
    // Appends size bytes; retries short writes. False with reason() set.
    bool write(const void* data, std::size_t size);
    // Starts write-back of what was written so far, where the system offers
    // that, so the final flush finds little left. Never fails.
    void startWriteBack();
    // Flushes to the disk and renames over the target. False with reason()
    // set; the temporary file is then gone.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    bool failed() const { return !reason_.isEmpty(); }
    const QString& reason() const { return reason_; }
    int descriptor() const { return fd_; }

private:
    bool fail(int error);
    bool fail(QString reason);
    bool resolveTarget();

    QString target_;
    QByteArray nativeTarget_;  // the target's name as the system keeps it
    QByteArray temporary_;
    int slot_ = -1;  // where an interrupt finds the temporary name
    int fd_ = -1;
    long long written_ = 0;
    long long writeBackFrom_ = 0;
    QString reason_;
};

// A German reason for a system error number met while writing or reading a
// file; "Fehler <n>" for numbers it does not know.
QString FileErrorReason(int error);

// A file that grows past the process's size limit must give an error, not
// end the process: call once at start.
void IgnoreFileSizeSignal();

// An interrupt (Ctrl-C, SIGTERM, a closed terminal) while a file is being
// written must not leave its temporary file behind: call once at start. The
// process then ends as the signal would have ended it.
void RemoveTemporaryFilesOnInterrupt();
