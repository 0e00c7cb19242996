#pragma once

#include <QLocalServer>
#include <memory>

namespace Window {

// Tells whether another copy of the program runs for this user. The first
// copy holds a local socket in the abstract namespace, so nothing is created
// on disk and the name vanishes with the process.
class SingleInstance {
public:
    explicit SingleInstance(const QString& key);
    // True when another copy answered; this copy should end at once.
    bool anotherIsRunning() const { return another_; }

private:
    std::unique_ptr<QLocalServer> server_;
    bool another_ = false;
};

}  // namespace Window
