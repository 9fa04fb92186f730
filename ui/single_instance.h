// ui/single_instance.h — one editor per user session: a program opened from a file manager
// while an editor runs goes to that editor instead of starting a second one.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;
class QTimer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// A hand-over through the local socket at `socketPath` (a full path).
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    /// Returns the socket path of the running user's session: a file in the user's private
    /// runtime folder.
    [[nodiscard]] static QString defaultSocketPath();

    /// Sends `fileName` (made absolute here, against this process's working folder) to the
    /// editor listening on the socket and waits up to `timeoutMs` for it to take the file.
    /// Returns true when it did; false when no editor listens, none answers in time, or it
    /// refused the name, so that the caller opens the file itself.
    [[nodiscard]] bool handOver(const QString& fileName, int timeoutMs = 5000) const;

    /// Starts taking files from later editors. A socket left behind by an editor that died is
    /// replaced; one held by a live editor is not. Returns true when listening.
    bool listen();
    /// Returns true while files are taken.
    [[nodiscard]] bool isListening() const;

    /// A connection that has sent no complete name within this time is closed (default 5 s).
    void setIdleTimeout(int milliseconds) { m_idleTimeoutMs = milliseconds; }

    /// The longest name accepted, in bytes of UTF-8.
    static constexpr int kMaxNameBytes = 16 * 1024;

signals:
    /// A file handed over, given only while no modal window is open, one at a time and in the
    /// order received: the receiver may ask its questions before taking the next.
    void fileRequested(const QString& fileName);

private:
    void acceptConnections();
    void readRequest(QLocalSocket* socket);
    void deliverPending();

    QString m_socketPath;
    QLocalServer* m_server = nullptr;
    QTimer* m_retry = nullptr;
    QStringList m_pending;
    bool m_delivering = false;
    int m_idleTimeoutMs = 5000;
};
