#include "single_instance.h"

#include <unistd.h>
#include <QLocalSocket>

namespace Window {

SingleInstance::SingleInstance(const QString& key) {
    const QString name = key + QStringLiteral("-") + QString::number(::getuid());
    QLocalSocket probe;
    probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    probe.connectToServer(name);
    if (probe.waitForConnected(200)) {
        another_ = true;
        return;
    }
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    // A failure to listen is ignored, as every step of the start is: the
    // program runs, it only cannot keep a second copy out.
    server_->listen(name);
}

}  // namespace Window
