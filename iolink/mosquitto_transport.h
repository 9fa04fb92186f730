// The link's transport over MQTT: libmosquitto's own network thread receives the values of the
// subscribed topics into a table that the simulator reads without waiting.
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

    /// True when the broker accepted the connection and the subscription within `timeout`.
    [[nodiscard]] bool connect(const plc::BrokerAddress& address, std::string_view filter,
                               std::chrono::milliseconds timeout) override;
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
