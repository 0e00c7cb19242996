#include "responsive_wait.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <memory>

namespace Window {

namespace {

// How long to wait for work that was told to stop before telling it again.
constexpr int kStopAgainMs = 50;

// Swallows what the user does to the window's controls. Paint, resize and
// close events pass, and so do releases. Ends the loop when the window is
// closed.
class IgnoreInput : public QObject {
public:
    IgnoreInput(const QWidget& window, QEventLoop& loop) : window_(window), loop_(loop) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~IgnoreInput() override { QCoreApplication::instance()->removeEventFilter(this); }
    IgnoreInput(const IgnoreInput&) = delete;
    IgnoreInput& operator=(const IgnoreInput&) = delete;

protected:
    // Caught where the window system delivers them, before a click could
    // move the focus, and where they are sent to a control directly.
    bool eventFilter(QObject* target, QEvent* event) override {
        // A window that is minimized is hidden too, but stays visible.
        if (target == &window_ && event->type() == QEvent::Hide && !window_.isVisible())
            loop_.quit();
        if (!isInput(event->type())) return false;
        if (target->isWidgetType()) return static_cast<QWidget*>(target)->window() == &window_;
        return target == window_.windowHandle();
    }

private:
    static bool isInput(QEvent::Type type) {
        switch (type) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TabletPress:
            case QEvent::TabletMove:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                return true;
            default:
                return false;
        }
    }

    const QWidget& window_;
    QEventLoop& loop_;
};

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

bool WaitResponsively(QWidget& window, const std::function<void()>& work,
                      const std::function<void()>& stop) {
    const bool wasShown = window.isVisible();
    const std::unique_ptr<QThread> worker(QThread::create(work));
    QEventLoop loop;
    // Queued: the signal comes from the worker; a quit that arrives before
    // exec() is delivered inside it.
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    {
        const IgnoreInput ignore(window, loop);
        const BusyCursor busy;
        worker->start();
        loop.exec();
        // The loop also ends when the window is closed, or the program quits:
        // nothing is left to draw, and the work is waited for here.
        if (wasShown && !window.isVisible()) {
            do {
                stop();
            } while (!worker->wait(kStopAgainMs));
        }
        worker->wait();
    }
    return !wasShown || window.isVisible();
}

}  // namespace Window
