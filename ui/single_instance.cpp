// ui/single_instance.cpp — the hand-over of a program's name to the editor already running.
#include "ui/single_instance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace {

// A request is one line, the absolute name in UTF-8; the answer one line too.
constexpr char kAccepted[] = "OK\n";
constexpr char kRefused[] = "NO\n";
// While a modal window runs (a question, a dialog, the simulator panel) the document must not
// change under it: a file handed over waits and is tried again this often.
constexpr int kRetryMs = 250;
// How long a new editor waits to tell whether the socket it found has a live editor behind it.
constexpr int kProbeMs = 500;

}  // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), m_socketPath(std::move(socketPath)), m_retry(new QTimer(this)) {
    m_retry->setSingleShot(true);
    m_retry->setInterval(kRetryMs);
    connect(m_retry, &QTimer::timeout, this, &SingleInstance::deliverPending);
}

// The server, a child, closes with the object and removes its socket file.
SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath() {
    // The runtime folder belongs to the user alone, so no one else can hand files over.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder + QStringLiteral("/wirtualon-editor");
}

bool SingleInstance::handOver(const QString& fileName, int timeoutMs) const {
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    const QByteArray name = absolute.toUtf8();
    // A name the one-line request cannot carry whole is opened by the caller itself.
    if (fileName.isEmpty() || name.contains('\n') || name.contains('\0') ||
        name.size() > kMaxNameBytes) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    const QDeadlineTimer deadline(timeoutMs);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        return false;
    }
    socket.write(name + '\n');
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        return false;
    }
    QByteArray reply;
    while (!reply.contains('\n') && reply.size() < 16) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        reply += socket.readAll();
    }
    return reply == kAccepted;
}

bool SingleInstance::listen() {
    if (m_server != nullptr) {
        return m_server->isListening();
    }
    // A live editor keeps its socket; one nobody answers on was left by an editor that died.
    // (The folder is the user's own, which is what keeps other users out: the socket file gets
    // no access options, since with them Qt would replace a live editor's socket unasked.)
    QLocalSocket probe;
    probe.connectToServer(m_socketPath);
    if (probe.waitForConnected(kProbeMs)) {
        return false;
    }
    QLocalServer::removeServer(m_socketPath);
    auto* server = new QLocalServer(this);
    if (!server->listen(m_socketPath)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

bool SingleInstance::isListening() const {
    return m_server != nullptr && m_server->isListening();
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // A client that stalls, or never finishes its line, is dropped without delaying anyone.
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        idle->start(m_idleTimeoutMs);
        if (socket->bytesAvailable() > 0) {
            readRequest(socket);
        }
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxNameBytes) {
            socket->abort();
            socket->deleteLater();
        }
        return;
    }
    // One request a connection: whatever follows the first line is not read.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    QByteArray line = socket->readLine(kMaxNameBytes + 2);
    const bool whole = line.endsWith('\n');
    line.chop(1);
    const QString name = QString::fromUtf8(line);
    // Only an absolute name means the same file here as in the editor that sent it.
    const bool valid = whole && !name.isEmpty() && !line.contains('\0') && name.toUtf8() == line &&
                       QDir::isAbsolutePath(name);
    // The sender closes once it has read the answer (closing here first could lose it on the
    // way); one that never does is dropped by the idle timer.
    socket->write(valid ? kAccepted : kRefused);
    if (valid) {
        m_pending.append(name);
        QTimer::singleShot(0, this, &SingleInstance::deliverPending);
    }
}

void SingleInstance::deliverPending() {
    if (m_delivering || m_pending.isEmpty()) {
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        m_retry->start();
        return;
    }
    // The receiver may ask its questions in a modal loop of its own, during which more files
    // can arrive: they wait for this one to be done.
    m_delivering = true;
    const QString name = m_pending.takeFirst();
    emit fileRequested(name);
    m_delivering = false;
    if (!m_pending.isEmpty()) {
        QTimer::singleShot(0, this, &SingleInstance::deliverPending);
    }
}
