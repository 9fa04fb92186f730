// MQTT through libmosquitto: connecting on a helper thread so that even a slow name lookup
// cannot hold the caller longer than its timeout, and receiving on libmosquitto's thread.
#include "iolink/mosquitto_transport.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <future>
#include <map>
#include <mosquitto.h>
#include <mutex>
#include <random>
#include <string>
#include <system_error>
#include <thread>

namespace iolink {

namespace {

using plc::ConnectResult;

constexpr int kKeepAliveSeconds = 10;
constexpr unsigned kReconnectDelaySeconds = 1;
constexpr unsigned kReconnectDelayMaxSeconds = 4;
// Only a value's leading number matters; a longer payload is cut, not stored whole.
constexpr std::size_t kMaxValueBytes = 256;
// How long closing waits for the client to stop before leaving it to stop on its own.
constexpr std::chrono::seconds kCloseWait{2};
// A message to a topic of this client alone comes back behind the retained values that the
// broker sends for the subscription made before it.
constexpr std::string_view kRoundTripPrefix = "wirtualon/sync/";
// The broker's answer to a subscription it refuses.
constexpr int kSubscriptionRefused = 0x80;

void initialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// Random, so that two links never share a session or a round-trip topic; short enough for
// any broker (23 characters at most).
std::string newClientId() {
    std::random_device device;
    std::uniform_int_distribution<unsigned> half(0, 0xFFFFFF);
    char id[24];
    std::snprintf(id, sizeof id, "wirtualon-%06x%06x", half(device), half(device));
    return id;
}

ConnectResult resultOfAnswer(int code) {
    // 4 is a wrong user name or password; 5, not authorised, is what brokers answer both.
    return code == 4 || code == 5 ? ConnectResult::LoginRefused : ConnectResult::Refused;
}

ConnectResult resultOfCall(int result, int error) {
    switch (result) {
        case MOSQ_ERR_EAI: return ConnectResult::UnknownHost;
        case MOSQ_ERR_INVAL:
        case MOSQ_ERR_MALFORMED_UTF8: return ConnectResult::BadAddress;
        case MOSQ_ERR_ERRNO:
            switch (error) {
                case ETIMEDOUT: return ConnectResult::TimedOut;
                case ECONNREFUSED:
                case ECONNRESET:
                case EHOSTUNREACH:
                case ENETUNREACH:
                case EADDRNOTAVAIL: return ConnectResult::NoBroker;
                default: return ConnectResult::Failed;
            }
        default: return ConnectResult::Failed;
    }
}

}  // namespace

struct MosquittoTransport::Session {
    // Connecting: until the broker acknowledges the subscription; Subscribed: until the
    // round trip shows the retained values are in.
    enum class Stage { Connecting, Subscribed, Ready, Failed };

    std::mutex mutex;
    std::condition_variable changed;
    Stage stage = Stage::Connecting;
    ConnectResult failure = ConnectResult::TimedOut;
    bool abandoned = false;
    bool loopStarted = false;
    std::string roundTripTopic;
    int firstSubscription = -1;  // the message id the connection waits on
    // The subscribed topics, with the latest value of each once one has come.
    std::map<std::string, std::optional<std::string>, std::less<>> values;
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

    // Under the mutex: moves on while connecting, never back, never after the end.
    void settle(Stage next, ConnectResult why = ConnectResult::Connected) {
        if (stage != Stage::Connecting && stage != Stage::Subscribed) {
            return;
        }
        stage = next;
        failure = why;
        changed.notify_all();
    }

    // Under the mutex.
    int subscribe(const std::vector<const std::string*>& topics, int* mid) {
        std::vector<char*> names;
        names.reserve(topics.size());
        for (const std::string* topic : topics) {
            names.push_back(const_cast<char*>(topic->c_str()));  // libmosquitto only reads them
        }
        return mosquitto_subscribe_multiple(client, mid, static_cast<int>(names.size()),
                                            names.data(), 0, 0, nullptr);
    }

    static Session& of(void* object) { return *static_cast<Session*>(object); }

    // Every (re)connection subscribes again: the session is clean. The first also subscribes
    // to the round-trip topic.
    static void onConnect(mosquitto*, void* object, int code) {
        Session& session = of(object);
        const std::lock_guard lock(session.mutex);
        if (code != 0) {
            session.settle(Stage::Failed, resultOfAnswer(code));
            return;
        }
        const bool first = session.stage == Stage::Connecting;
        std::vector<const std::string*> topics;
        for (const auto& entry : session.values) {
            topics.push_back(&entry.first);
        }
        if (first) {
            topics.push_back(&session.roundTripTopic);
        } else if (topics.empty()) {
            return;
        }
        int mid = 0;
        if (session.subscribe(topics, &mid) != MOSQ_ERR_SUCCESS) {
            session.settle(Stage::Failed, ConnectResult::Refused);
        } else if (first) {
            session.firstSubscription = mid;
        }
    }

    static void onSubscribe(mosquitto* client, void* object, int mid, int count,
                            const int* granted) {
        Session& session = of(object);
        const std::lock_guard lock(session.mutex);
        if (session.stage != Stage::Connecting || mid != session.firstSubscription) {
            return;  // a later subscription of renamed items: their values come when they come
        }
        // The items first, then the round-trip topic.
        const auto items = static_cast<int>(session.values.size());
        if (count != items + 1 || std::any_of(granted, granted + items,
                                              [](int g) { return g >= kSubscriptionRefused; })) {
            session.settle(Stage::Failed, ConnectResult::Refused);
            return;
        }
        const std::string& topic = session.roundTripTopic;
        if (granted[items] >= kSubscriptionRefused ||
            mosquitto_publish(client, nullptr, topic.c_str(), 0, nullptr, 0, false) !=
                MOSQ_ERR_SUCCESS) {
            // No round trip to be had: the values come in on their own.
            session.settle(Stage::Ready);
            return;
        }
        session.settle(Stage::Subscribed);
    }

    static void onDisconnect(mosquitto*, void* object, int) {
        // While connecting, a dropped or refused socket is the answer; later the network
        // thread reconnects on its own and the values stay.
        Session& session = of(object);
        const std::lock_guard lock(session.mutex);
        session.settle(Stage::Failed, ConnectResult::Refused);
    }

    static void onMessage(mosquitto*, void* object, const mosquitto_message* message) {
        if (message == nullptr || message->topic == nullptr) {
            return;
        }
        Session& session = of(object);
        const std::string_view topic(message->topic);
        const std::lock_guard lock(session.mutex);
        if (topic == session.roundTripTopic) {
            if (session.stage == Stage::Subscribed) {
                session.settle(Stage::Ready);
            }
            return;
        }
        // A topic no longer subscribed to may still have a message on the way: it is dropped,
        // so the table never holds more than the subscribed topics.
        const auto found = session.values.find(topic);
        if (found == session.values.end()) {
            return;
        }
        std::string value;
        if (message->payload != nullptr && message->payloadlen > 0) {
            const auto length = static_cast<std::size_t>(message->payloadlen);
            value.assign(static_cast<const char*>(message->payload),
                         std::min(length, kMaxValueBytes));
        }
        found->second = std::move(value);
    }

    // Runs on the helper thread: the name lookup and the socket's connection may block.
    static void start(const std::shared_ptr<Session>& session, const plc::BrokerAddress& address) {
        const int connected = mosquitto_connect(session->client, address.host.c_str(), address.port,
                                                kKeepAliveSeconds);
        const int error = errno;
        const std::lock_guard lock(session->mutex);
        if (session->abandoned) {
            return;
        }
        if (connected != MOSQ_ERR_SUCCESS) {
            session->settle(Stage::Failed, resultOfCall(connected, error));
            return;
        }
        if (mosquitto_loop_start(session->client) != MOSQ_ERR_SUCCESS) {
            session->settle(Stage::Failed, ConnectResult::Failed);
            return;
        }
        session->loopStarted = true;
    }
};

MosquittoTransport::MosquittoTransport() {
    initialiseLibrary();
}

MosquittoTransport::~MosquittoTransport() {
    close();
}

ConnectResult MosquittoTransport::connect(const plc::BrokerAddress& address,
                                          const std::vector<std::string>& topics,
                                          std::chrono::milliseconds timeout) {
    close();
    auto session = std::make_shared<Session>();
    const std::string id = newClientId();
    session->roundTripTopic = std::string(kRoundTripPrefix) + id;
    for (const std::string& topic : topics) {
        session->values.emplace(topic, std::nullopt);
    }
    session->client = mosquitto_new(id.c_str(), true, session.get());
    if (session->client == nullptr) {
        return ConnectResult::Failed;
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
        return ConnectResult::BadAddress;
    }

    try {
        std::thread(&Session::start, session, address).detach();
    } catch (const std::system_error&) {
        return ConnectResult::Failed;
    }
    std::unique_lock lock(session->mutex);
    session->changed.wait_for(lock, timeout, [&session] {
        return session->stage == Session::Stage::Ready || session->stage == Session::Stage::Failed;
    });
    // Subscribed but without the round trip back (a broker that does not let this client
    // publish to its own topic): connected, the retained values come in on their own.
    if (session->stage == Session::Stage::Ready || session->stage == Session::Stage::Subscribed) {
        lock.unlock();
        m_session = std::move(session);
        return ConnectResult::Connected;
    }
    const ConnectResult result =
        session->stage == Session::Stage::Failed ? session->failure : ConnectResult::TimedOut;
    // The helper thread or the network thread may still hold the session; whichever lets go
    // last stops the client.
    session->abandoned = true;
    return result;
}

void MosquittoTransport::subscribe(const std::vector<std::string>& topics) {
    if (!m_session) {
        return;
    }
    Session& session = *m_session;
    const std::lock_guard lock(session.mutex);
    std::map<std::string, std::optional<std::string>, std::less<>> kept;
    std::vector<const std::string*> added;
    for (const std::string& topic : topics) {
        const auto found = session.values.find(topic);
        const bool known = found != session.values.end();
        const auto [entry, inserted] =
            kept.emplace(topic, known ? found->second : std::optional<std::string>());
        if (inserted && !known) {
            added.push_back(&entry->first);
        }
    }
    std::vector<char*> removed;
    for (const auto& entry : session.values) {
        if (kept.find(entry.first) == kept.end()) {
            removed.push_back(const_cast<char*>(entry.first.c_str()));
        }
    }
    // Without a connection just now these fail; the reconnection subscribes to the new topics.
    if (!removed.empty()) {
        mosquitto_unsubscribe_multiple(session.client, nullptr, static_cast<int>(removed.size()),
                                       removed.data(), nullptr);
    }
    if (!added.empty()) {
        session.subscribe(added, nullptr);
    }
    session.values = std::move(kept);
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
