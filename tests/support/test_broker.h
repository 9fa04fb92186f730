// A private MQTT broker for link tests: the mosquitto program run as a child process on a free
// loopback port with a generated configuration, stopped when the object goes.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class TestBroker {
public:
    /// Starts a broker; `password` non-empty makes it accept only `user` with that password.
    explicit TestBroker(const std::string& user = {}, const std::string& password = {});
    ~TestBroker();
    TestBroker(const TestBroker&) = delete;
    TestBroker& operator=(const TestBroker&) = delete;

    /// True when the broker runs and accepts connections.
    [[nodiscard]] bool running() const { return m_pid > 0; }
    /// Why it does not run.
    [[nodiscard]] const std::string& problem() const { return m_problem; }
    /// The port it listens on (127.0.0.1).
    [[nodiscard]] std::uint16_t port() const { return m_port; }
    /// "127.0.0.1:<port>".
    [[nodiscard]] std::string service() const;
    /// Kills the broker at once, as a crash would.
    void kill();

    /// Publishes `value` to `topic` with mosquitto_pub (retained when asked); true on success.
    bool publish(const std::string& topic, const std::string& value, bool retained = true) const;
    /// Publishes every (topic, value) of `messages` in order over one connection, each
    /// acknowledged by the broker before this returns; true when all were.
    bool publishAll(const std::vector<std::pair<std::string, std::string>>& messages,
                    bool retained) const;
    /// The first message on `topic` as mosquitto_sub sees it on subscribing (a retained value),
    /// or "<none>" if none comes within `wait`.
    [[nodiscard]] std::string retainedValue(
        const std::string& topic,
        std::chrono::milliseconds wait = std::chrono::milliseconds(2000)) const;

    /// A loopback port on which nothing listens.
    [[nodiscard]] static std::uint16_t freePort();

private:
    bool start(const std::string& user, const std::string& password);

    int m_pid = -1;
    std::uint16_t m_port = 0;
    std::filesystem::path m_dir;
    std::string m_problem;
    std::string m_user;
    std::string m_password;
};

}  // namespace testsupport
