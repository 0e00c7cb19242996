#pragma once

#include <QLocalServer>
#include <QString>
#include <QWidget>
#include <memory>

#include "temporary_names.h"

namespace Window {

// Tells whether another copy of the program runs for this user on this
// display. The first copy listens on a local socket in the user's runtime
// folder, where no other user may make anything: another user can neither
// take the name first nor answer in a running copy's place. The name goes
// with the copy's window (releaseWhenClosed), so that a copy started while
// this one ends runs, and with the copy, also when it is interrupted. Where
// the user has no runtime folder of their own, copies are not kept apart.
class SingleInstance {
public:
    explicit SingleInstance(const QString& key);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another copy answered; this copy should end at once.
    bool anotherIsRunning() const { return another_; }
    // Lets go of the name: a copy started from now on runs.
    void release();
    // Lets go of the name when the window is closed.
    void releaseWhenClosed(QWidget& window);

    // Where a copy for this key, user and display listens; empty when the
    // user has no runtime folder of their own.
    static QString ServerPath(const QString& key);

private:
    std::unique_ptr<QLocalServer> server_;
    std::unique_ptr<QObject> closeWatch_;
    Platform::TemporaryNames::Entry removeOnInterrupt_ = nullptr;
    bool another_ = false;
};

}  // namespace Window
