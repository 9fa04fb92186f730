// The link's transport over MQTT: libmosquitto's own network thread receives the values of the
// subscribed topics, and no others, into a table that the simulator reads without waiting.
#pragma once

#include "plc/link_transport.h"

#include <memory>

namespace iolink {

/// A client of one MQTT broker. Connecting waits at most its timeout; afterwards every call
/// returns at once, whatever the network does: a lost broker is reconnected in the
/// background, values received before stay readable, publications meanwhile are lost.
class MosquittoTransport final : public plc::LinkTransport {
public:
    MosquittoTransport();
    ~MosquittoTransport() override;
    MosquittoTransport(const MosquittoTransport&) = delete;
    MosquittoTransport& operator=(const MosquittoTransport&) = delete;

    /// Connected once the broker has accepted the connection and the subscription to
    /// `topics`, and a message to a topic of this client alone has come back behind the
    /// values retained on them; at most `timeout`. Otherwise why not.
    [[nodiscard]] plc::ConnectResult connect(const plc::BrokerAddress& address,
                                             const std::vector<std::string>& topics,
                                             std::chrono::milliseconds timeout) override;
    /// Subscribes to `topics` in place of the topics before, without waiting.
    void subscribe(const std::vector<std::string>& topics) override;
    /// The latest value received on `topic`, if any.
    [[nodiscard]] std::optional<std::string> latest(std::string_view topic) override;
    /// True when the message was handed to the network thread.
    bool publishRetained(std::string_view topic, std::string_view value) override;
    void close() override;
    /// True between a successful connect and close (also while reconnecting).
    [[nodiscard]] bool isOpen() const override;

    /// Shared with the threads that connect and receive; outlives this object if they are
    /// still busy when it closes.
    struct Session;

private:
    std::shared_ptr<Session> m_session;
};

}  // namespace iolink
