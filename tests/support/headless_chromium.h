#pragma once

// Debian's Chromium without a window, driven through the DevTools protocol on
// a pipe (--remote-debugging-pipe: the browser reads commands from its file
// descriptor 3 and writes answers and events to 4, each JSON message ended by
// a NUL byte). The input it is given is real input: keys and mouse events go
// through the browser's own event routing.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

class HeadlessChromium {
public:
    // The browser's program, or empty when it is not installed.
    static QString Program() { return QStandardPaths::findExecutable("chromium"); }

    HeadlessChromium() = default;
    HeadlessChromium(const HeadlessChromium&) = delete;
    HeadlessChromium& operator=(const HeadlessChromium&) = delete;
    ~HeadlessChromium() { stop(); }

    // Starts the browser with a window of this many CSS pixels at one device
    // pixel each and attaches to its page. False, with error() saying why,
    // when that fails.
    bool start(QSize window) {
        int sockets[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
            return fail("socketpair failed");
        channel_ = sockets[0];
        const int browserEnd = sockets[1];
        process_.setProgram(Program());
        process_.setArguments(
            {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile_.path(), "--remote-debugging-pipe",
             "--force-device-scale-factor=1", "--force-color-profile=srgb", "--hide-scrollbars",
             QStringLiteral("--window-size=%1,%2").arg(window.width()).arg(window.height()),
             "about:blank"});
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(profile_.filePath("stderr.txt"));
        // One socket end serves as both descriptors. It is copied above 4
        // first, as it may itself be 3 or 4; dup2 clears close-on-exec on the
        // copies the browser keeps.
        process_.setChildProcessModifier([browserEnd] {
            const int end = ::fcntl(browserEnd, F_DUPFD_CLOEXEC, 5);
            ::dup2(end, 3);
            ::dup2(end, 4);
        });
        process_.start();
        ::close(browserEnd);
        if (!process_.waitForStarted()) return fail("chromium does not start");
        const QJsonObject targets = call("Target.getTargets", {}, false);
        for (const QJsonValue target : targets["targetInfos"].toArray())
            if (target["type"] == "page") {
                const QJsonObject attached =
                    call("Target.attachToTarget",
                         {{"targetId", target["targetId"]}, {"flatten", true}}, false);
                session_ = attached["sessionId"].toString();
                break;
            }
        if (session_.isEmpty()) return fail("no page to attach to");
        return true;
    }

    // Loads the page and waits until it and its pictures are there.
    bool open(const QString& file) {
        const QJsonObject navigated =
            call("Page.navigate", {{"url", QUrl::fromLocalFile(file).toString()}});
        if (navigated.isEmpty() || navigated.contains("errorText"))
            return fail("the page does not load");
        return evaluate(
                   "new Promise(done => document.readyState === 'complete' ? done() : "
                   "addEventListener('load', () => done()))"
                   ".then(() => Promise.all([...document.images].map(i => i.decode())))"
                   ".then(() => true)")
            .toBool();
    }

    // A script's value, awaited when it is a promise.
    QJsonValue evaluate(const QString& expression) {
        const QJsonObject result =
            call("Runtime.evaluate",
                 {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}});
        if (result.contains("exceptionDetails"))
            fail("script failed: " + QJsonDocument(result["exceptionDetails"].toObject()).toJson());
        return result["result"]["value"];
    }

    // A key pressed and let go: its name (KeyboardEvent.key, which is also
    // its code for the keys used here) and its Windows key code.
    void key(const QString& name, int windowsCode) {
        for (const char* type : {"rawKeyDown", "keyUp"})
            call("Input.dispatchKeyEvent", {{"type", type},
                                            {"key", name},
                                            {"code", name},
                                            {"windowsVirtualKeyCode", windowsCode}});
    }

    // type: mousePressed, mouseMoved (with the button held) or
    // mouseReleased, of the left button.
    void mouse(const QString& type, double x, double y) {
        call("Input.dispatchMouseEvent", {{"type", type},
                                          {"x", x},
                                          {"y", y},
                                          {"button", "left"},
                                          {"buttons", type == "mouseReleased" ? 0 : 1},
                                          {"clickCount", 1}});
    }

    // The wheel turned by this many pixels (negative: away from the user).
    void wheel(double x, double y, double deltaY) {
        call("Input.dispatchMouseEvent",
             {{"type", "mouseWheel"}, {"x", x}, {"y", y}, {"deltaX", 0}, {"deltaY", deltaY}});
    }

    QImage screenshot() {
        const QJsonObject shot = call("Page.captureScreenshot", {{"format", "png"}});
        return QImage::fromData(QByteArray::fromBase64(shot["data"].toString().toLatin1()), "PNG")
            .convertToFormat(QImage::Format_RGB32);
    }

    // What went wrong first, with the end of the browser's error output.
    QString error() const { return error_; }

private:
    QTemporaryDir profile_;
    QProcess process_;
    int channel_ = -1;
    int nextId_ = 1;
    QString session_;
    QByteArray received_;
    QString error_;

    bool fail(const QString& what) {
        if (!error_.isEmpty()) return false;
        QFile log(profile_.filePath("stderr.txt"));
        error_ = what;
        if (log.open(QIODevice::ReadOnly))
            error_ += "\n" + QString::fromUtf8(log.readAll().right(2000));
        return false;
    }

    QJsonObject failed(const QString& what) {
        fail(what);
        return {};
    }

    // Sends a command and waits for its answer, passing over events. The
    // answer's result, or an empty object (and error()) when it fails.
    QJsonObject call(const QString& method, const QJsonObject& params, bool onPage = true) {
        const int id = nextId_++;
        QJsonObject command{{"id", id}, {"method", method}, {"params", params}};
        if (onPage) command["sessionId"] = session_;
        const QByteArray bytes = QJsonDocument(command).toJson(QJsonDocument::Compact) + '\0';
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(channel_, bytes.constData() + sent,
                                     static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return failed(method + ": the browser is gone");
            sent += n;
        }
        const QDeadlineTimer deadline(30000);
        for (;;) {
            const qsizetype end = received_.indexOf('\0');
            if (end >= 0) {
                const QJsonObject answer = QJsonDocument::fromJson(received_.left(end)).object();
                received_.remove(0, end + 1);
                if (answer["id"].toInt() != id) continue;
                if (answer.contains("error"))
                    return failed(method + ": " + answer["error"]["message"].toString());
                return answer["result"].toObject();
            }
            if (!receive(deadline)) return failed(method + ": no answer");
        }
    }

    bool receive(const QDeadlineTimer& deadline) {
        pollfd channel{channel_, POLLIN, 0};
        const int ready = ::poll(&channel, 1, static_cast<int>(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR) return true;
        if (ready <= 0) return false;
        char chunk[65536];
        const ssize_t n = ::read(channel_, chunk, sizeof chunk);
        if (n <= 0) return false;
        received_.append(chunk, n);
        return true;
    }

    void stop() {
        if (channel_ >= 0 && process_.state() != QProcess::NotRunning) {
            call("Browser.close", {}, false);
            if (!process_.waitForFinished(10000)) process_.kill();
            process_.waitForFinished(5000);
        }
        if (channel_ >= 0) ::close(channel_);
        channel_ = -1;
    }
};
