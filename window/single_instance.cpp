#include "single_instance.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QStandardPaths>
#include <functional>

using namespace Platform;

namespace Window {

namespace {

// How long a running copy may take to answer, milliseconds.
constexpr int kAnswerMs = 200;

// The display the window shows on, as part of a file name: copies on two
// displays run side by side.
QString displayName() {
    const QString platform = QGuiApplication::platformName();
    QString display;
    if (platform == QLatin1String("xcb"))
        display = qEnvironmentVariable("DISPLAY");
    else if (platform.startsWith(QLatin1String("wayland")))
        display = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    QString name = display.isEmpty() ? platform : platform + QLatin1Char('-') + display;
    return name.replace(QLatin1Char('/'), QLatin1Char('_'));
}

// The user's runtime folder, when it is the user's alone.
QString ownRuntimeFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    struct stat info {};
    if (folder.isEmpty() || ::lstat(QFile::encodeName(folder).constData(), &info) != 0) return {};
    const bool own =
        S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
    return own ? folder : QString();
}

// Calls back when the window is closed: it is hidden then, and no longer
// visible (a minimized window is hidden but stays visible).
class CloseWatch : public QObject {
public:
    CloseWatch(QWidget& window, std::function<void()> closed)
        : window_(window), closed_(std::move(closed)) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (target == &window_ && event->type() == QEvent::Hide && !window_.isVisible()) closed_();
        return false;
    }

private:
    QWidget& window_;
    std::function<void()> closed_;
};

}  // namespace

QString SingleInstance::ServerPath(const QString& key) {
    const QString folder = ownRuntimeFolder();
    if (folder.isEmpty()) return {};
    return folder + QLatin1Char('/') + key + QLatin1Char('-') + displayName();
}

SingleInstance::SingleInstance(const QString& key) {
    const QString path = ServerPath(key);
    if (path.isEmpty()) return;
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(kAnswerMs)) {
        another_ = true;
        return;
    }
    // A failure to listen is ignored, as every step of the start is: the
    // program runs, it only cannot keep a second copy out. What a copy that
    // was killed left there answers no one and goes.
    QLocalServer::removeServer(path);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) return;
    removeOnInterrupt_ = TemporaryNames::Remember(QFile::encodeName(path));
}

SingleInstance::~SingleInstance() {
    release();
}

void SingleInstance::releaseWhenClosed(QWidget& window) {
    closeWatch_ = std::make_unique<CloseWatch>(window, [this] { release(); });
}

void SingleInstance::release() {
    if (server_) server_->close();  // removes the socket
    TemporaryNames::Forget(removeOnInterrupt_);
    removeOnInterrupt_ = nullptr;
}

}  // namespace Window
