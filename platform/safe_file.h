#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <deque>

#include "message.h"

namespace Platform {

// A file written beside its target under a temporary name and renamed over
// the target only when complete: a failed write leaves an existing file as it
// was and no temporary file behind. A failure is kept as a reason code (see
// message.h), never the system's own text. A target that is a symbolic link
// is written through it, as an editor would (one that points nowhere is
// replaced, a loop of links refused); a folder, a device or a pipe under the
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
    // Flushes to the disk and closes the temporary file, ready to be put in
    // place. False with reason() set; the temporary file is then gone.
    bool finish();
    // finish(), then renames over the target. False with reason() set; the
    // temporary file is then gone.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    bool failed() const { return reason_.code != Messages::MessageCode::None; }
    const Messages::Reason& reason() const { return reason_; }
    const QString& target() const { return target_; }
    // The target's file name, as messages name the file.
    QString name() const;
    // The failure as a message: CannotSave, naming the file, with reason().
    Messages::Message cannotSave() const;

private:
    friend class FileBatch;

    bool fail(int error);
    bool fail(Messages::MessageCode reason);
    bool resolveTarget();
    // Renames the finished temporary file over the target.
    bool putInPlace();

    QString target_;
    QByteArray nativeTarget_;  // the target's name as the system keeps it
    QByteArray temporary_;
    void* registered_ = nullptr;  // where an interrupt finds the temporary name
    int fd_ = -1;
    bool finished_ = false;
    long long written_ = 0;
    long long writeBackFrom_ = 0;
    Messages::Reason reason_;
};

// Several files that belong together (a strip and the files beside it): each
// is written to its own temporary file, and only when all are complete are
// they renamed into place, one after the other. If a rename fails, the files
// already put in place get their old contents back (or are removed when they
// are new), so the targets hold either all the new files or all the old
// ones. So they do when a signal comes while they are put in place (with
// RemoveTemporaryFilesOnInterrupt): it is held back on the putting thread,
// the files go back to the old ones, and then the signal ends the process.
class FileBatch {
public:
    FileBatch() = default;
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // A file of the batch, to be opened and written; it stays valid as long
    // as the batch.
    SafeFile& add(QString target);

    // Finishes every file and puts them all in place. False when any file
    // failed (failed() names it); nothing is replaced then.
    bool commit();
    // Removes every temporary file; the targets stay as they were.
    void discard();

    // The file that failed, or nullptr.
    const SafeFile* failed() const;

private:
    std::deque<SafeFile> files_;
};

// A file that grows past the process's size limit must give an error, not
// end the process: call once at start.
void IgnoreFileSizeSignal();

// An interrupt (Ctrl-C, SIGTERM, a closed terminal, any signal that would end
// the process and can be caught) while files are being written must not
// leave their temporary files behind, however many there are and whichever
// thread writes them, nor split a batch being put in place: call once at
// start. The process then ends as the signal would have ended it. What a
// signal no process can catch (SIGKILL) leaves behind, the next SafeFile
// opened in that folder removes (TemporaryNames::RemoveAbandoned).
void RemoveTemporaryFilesOnInterrupt();

}  // namespace Platform
