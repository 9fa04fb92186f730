// MQTT through libmosquitto: connecting on a helper thread so that even a slow name lookup
// cannot hold the caller longer than its timeout, and receiving on libmosquitto's thread.
#include "iolink/mosquitto_transport.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <future>
#include <map>
#include <mosquitto.h>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace iolink {

namespace {

constexpr int kKeepAliveSeconds = 10;
constexpr unsigned kReconnectDelaySeconds = 1;
constexpr unsigned kReconnectDelayMaxSeconds = 4;
// Only a value's leading number matters; a longer payload is cut, not stored whole.
constexpr std::size_t kMaxValueBytes = 256;
// A bound on the table, against a flood of topics under the prefix.
constexpr std::size_t kMaxTopics = 10000;
// How long closing waits for the client to stop before leaving it to stop on its own.
constexpr std::chrono::seconds kCloseWait{2};

void initialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

}  // namespace

struct MosquittoTransport::Session {
    enum class State { Connecting, Ready, Failed };

    std::mutex mutex;
    std::condition_variable changed;
    State state = State::Connecting;
    bool abandoned = false;
    bool loopStarted = false;
    std::string filter;
    std::map<std::string, std::string, std::less<>> values;
    mosquitto* client = nullptr;

    ~Session() {
        if (client == nullptr) {
            return;
        }
        if (loopStarted) {
            mosquitto_disconnect(client);
            mosquitto_loop_stop(client, false);
        }
        mosquitto_destroy(client);
    }

    void settle(State result) {
        {
            const std::lock_guard lock(mutex);
            if (state != State::Connecting) {
                return;
            }
            state = result;
        }
        changed.notify_all();
    }

    static Session& of(void* object) { return *static_cast<Session*>(object); }

    // Every (re)connection subscribes again: the session is clean.
    static void onConnect(mosquitto* client, void* object, int code) {
        Session& session = of(object);
        if (code != 0 ||
            mosquitto_subscribe(client, nullptr, session.filter.c_str(), 0) != MOSQ_ERR_SUCCESS) {
            session.settle(State::Failed);
        }
    }

    static void onSubscribe(mosquitto*, void* object, int, int count, const int* granted) {
        // A broker that refuses the filter answers with a failure code (0x80).
        const bool refused = count < 1 || granted[0] > 2;
        of(object).settle(refused ? State::Failed : State::Ready);
    }

    static void onDisconnect(mosquitto*, void* object, int) {
        // While connecting, a dropped or refused socket is the answer; later the network
        // thread reconnects on its own and the values stay.
        of(object).settle(State::Failed);
    }

    static void onMessage(mosquitto*, void* object, const mosquitto_message* message) {
        if (message == nullptr || message->topic == nullptr) {
            return;
        }
        Session& session = of(object);
        std::string value;
        if (message->payload != nullptr && message->payloadlen > 0) {
            const auto length = static_cast<std::size_t>(message->payloadlen);
            value.assign(static_cast<const char*>(message->payload),
                         std::min(length, kMaxValueBytes));
        }
        const std::lock_guard lock(session.mutex);
        const auto found = session.values.find(std::string_view(message->topic));
        if (found != session.values.end()) {
            found->second = std::move(value);
        } else if (session.values.size() < kMaxTopics) {
            session.values.emplace(message->topic, std::move(value));
        }
    }

    // Runs on the helper thread: the name lookup and the socket's start may block.
    static void start(const std::shared_ptr<Session>& session, const plc::BrokerAddress& address) {
        const int connected = mosquitto_connect_async(session->client, address.host.c_str(),
                                                      address.port, kKeepAliveSeconds);
        {
            const std::lock_guard lock(session->mutex);
            if (session->abandoned) {
                return;
            }
            if (connected == MOSQ_ERR_SUCCESS &&
                mosquitto_loop_start(session->client) == MOSQ_ERR_SUCCESS) {
                session->loopStarted = true;
                return;
            }
        }
        session->settle(State::Failed);
    }
};

MosquittoTransport::MosquittoTransport() {
    initialiseLibrary();
}

MosquittoTransport::~MosquittoTransport() {
    close();
}

bool MosquittoTransport::connect(const plc::BrokerAddress& address, std::string_view filter,
                                 std::chrono::milliseconds timeout) {
    close();
    auto session = std::make_shared<Session>();
    session->filter = std::string(filter);
    session->client = mosquitto_new(nullptr, true, session.get());
    if (session->client == nullptr) {
        return false;
    }
    mosquitto_connect_callback_set(session->client, &Session::onConnect);
    mosquitto_subscribe_callback_set(session->client, &Session::onSubscribe);
    mosquitto_disconnect_callback_set(session->client, &Session::onDisconnect);
    mosquitto_message_callback_set(session->client, &Session::onMessage);
    mosquitto_reconnect_delay_set(session->client, kReconnectDelaySeconds,
                                  kReconnectDelayMaxSeconds, true);
    if (!address.user.empty() &&
        mosquitto_username_pw_set(session->client, address.user.c_str(),
                                  address.password.empty() ? nullptr : address.password.c_str()) !=
            MOSQ_ERR_SUCCESS) {
        return false;
    }

    std::thread(&Session::start, session, address).detach();
    std::unique_lock lock(session->mutex);
    session->changed.wait_for(lock, timeout,
                              [&session] { return session->state != Session::State::Connecting; });
    if (session->state != Session::State::Ready) {
        // The helper thread or the network thread may still hold the session; whichever lets
        // go last stops the client.
        session->abandoned = true;
        lock.unlock();
        return false;
    }
    lock.unlock();
    m_session = std::move(session);
    return true;
}

std::optional<std::string> MosquittoTransport::latest(std::string_view topic) {
    if (!m_session) {
        return std::nullopt;
    }
    const std::lock_guard lock(m_session->mutex);
    const auto found = m_session->values.find(topic);
    if (found == m_session->values.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool MosquittoTransport::publishRetained(std::string_view topic, std::string_view value) {
    if (!m_session) {
        return false;
    }
    const std::string name(topic);
    return mosquitto_publish(m_session->client, nullptr, name.c_str(),
                             static_cast<int>(value.size()), value.data(), 0,
                             true) == MOSQ_ERR_SUCCESS;
}

void MosquittoTransport::close() {
    if (!m_session) {
        return;
    }
    {
        const std::lock_guard lock(m_session->mutex);
        m_session->abandoned = true;
    }
    // Stopping the client waits for its network thread, which may sit in a reconnection to a
    // host that stopped answering for as long as the system's connect timeout (minutes). So
    // the session is let go of on a thread of its own: a normal stop is over within the wait,
    // and one that hangs finishes there without holding the caller.
    auto stopped = std::make_shared<std::promise<void>>();
    std::future<void> done = stopped->get_future();
    try {
        std::thread([session = std::move(m_session), stopped]() mutable {
            session.reset();
            stopped->set_value();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the lambda that held the session is gone, so the stop ran here.
        m_session.reset();
        return;
    }
    done.wait_for(kCloseWait);
}

bool MosquittoTransport::isOpen() const {
    return m_session != nullptr;
}

}  // namespace iolink
