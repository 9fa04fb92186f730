// The Modbus TCP server: libmodbus opens the listening socket; the server's thread frames the
// requests itself, without blocking, and the simulation answers them between scans.
//
// The frames are read here rather than by libmodbus's receive because that call waits for the
// rest of a frame once its first byte is in, and sizes a frame by its function code rather than
// its header (an unknown function leaves the rest of its frame to be misread as the next one);
// the answers are built here because libmodbus's reply writes to the socket from the caller's
// thread and sleeps before an "illegal function" exception. Any of these would let one client
// hold up the others or the scan.
#include "iolink/modbus_server.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <modbus/modbus-tcp.h>
#include <modbus/modbus.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace iolink {

namespace {

constexpr std::size_t kMbapBytes = 7;  // transaction, protocol, length, unit
constexpr std::size_t kMaxFrame = kMbapBytes + kModbusMaxPdu;
// Requests of one client waiting for the simulation: a client that pipelines more is not read
// until they are answered.
constexpr unsigned kMaxPending = 4;
// Unsent answers of one client: a client that does not read them is not read either.
constexpr std::size_t kMaxUnsent = 4 * kMaxFrame;
constexpr std::size_t kMaxUnframed = 2 * kMaxFrame;
constexpr int kBacklog = 16;
// TCP keepalive: a peer that vanished without a word (a pulled cable, a crashed machine) is
// noticed after about half a minute even while it would be within its silence limit.
constexpr int kKeepAliveIdleSeconds = 15;
constexpr int kKeepAliveIntervalSeconds = 5;
constexpr int kKeepAliveProbes = 3;

// One request or one answer; an answer of size 0 closes its client's connection.
struct Frame {
    std::uint64_t client = 0;
    std::size_t size = 0;
    std::array<std::uint8_t, kMaxFrame> bytes{};
};

void signal(int descriptor) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(descriptor, &one, sizeof one);
}

void drain(int descriptor) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(descriptor, &count, sizeof count);
}

ModbusOpenResult resultOf(int error) {
    switch (error) {
        case EADDRINUSE: return ModbusOpenResult::PortInUse;
        // libmodbus reports an address that does not resolve as a refused connection.
        case ECONNREFUSED:
        case EADDRNOTAVAIL:
        case EAFNOSUPPORT: return ModbusOpenResult::AddressUnavailable;
        default: return ModbusOpenResult::Failed;
    }
}

}  // namespace

std::string modbusStateText(ModbusOpenResult result, const ModbusEndpoint& endpoint) {
    switch (result) {
        case ModbusOpenResult::Listening: return "nasłuch " + modbusEndpointText(endpoint);
        case ModbusOpenResult::PortInUse: return "port zajęty";
        case ModbusOpenResult::AddressUnavailable: return "adres niedostępny";
        case ModbusOpenResult::Failed: return "nie można otworzyć portu";
    }
    return {};
}

class ModbusServer::Worker {
public:
    Worker(int listener, std::uint16_t port, ModbusClock clock, const ModbusIdleLimits& limits)
        : m_listener(listener),
          m_port(port),
          m_clock(std::move(clock)),
          m_limits(limits),
          m_wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
          m_ready(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

    ~Worker() {
        if (m_thread.joinable()) {
            m_stopping = true;
            signal(m_wake);
            m_thread.join();
        }
        for (const Client& client : m_clients) {
            ::close(client.fd);
        }
        for (int descriptor : {m_listener, m_wake, m_ready}) {
            if (descriptor >= 0) {
                ::close(descriptor);
            }
        }
    }

    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    bool start() {
        if (m_wake < 0 || m_ready < 0) {
            return false;
        }
        m_thread = std::thread(&Worker::run, this);
        return true;
    }

    std::uint16_t port() const { return m_port; }
    int ready() const { return m_ready; }
    std::size_t clientCount() const { return m_clientCount; }
    std::size_t waitingRequests() {
        const std::lock_guard lock(m_mutex);
        return m_requests.size();
    }

    // The simulation's side.
    std::size_t serve(plc::Plc& plc, PanelInputs& panel) {
        drain(m_ready);  // before taking the requests, so that a later one signals again
        {
            const std::lock_guard lock(m_mutex);
            m_serving.swap(m_requests);
        }
        if (m_serving.empty()) {
            return 0;
        }
        ModbusMap map(plc, panel);
        m_answers.resize(m_serving.size());
        for (std::size_t i = 0; i < m_serving.size(); ++i) {
            const Frame& request = m_serving[i];
            Frame& answer = m_answers[i];
            answer.client = request.client;
            const std::size_t length =
                map.answer(std::span(request.bytes).subspan(kMbapBytes, request.size - kMbapBytes),
                           std::span(answer.bytes).subspan<kMbapBytes, kModbusMaxPdu>());
            if (length == 0) {
                answer.size = 0;
                continue;
            }
            // Transaction and unit as asked; protocol 0; the length counts the unit and PDU.
            std::copy_n(request.bytes.begin(), 4, answer.bytes.begin());
            answer.bytes[4] = static_cast<std::uint8_t>((length + 1) >> 8);
            answer.bytes[5] = static_cast<std::uint8_t>((length + 1) & 0xFF);
            answer.bytes[6] = request.bytes[6];
            answer.size = kMbapBytes + length;
        }
        const std::size_t served = m_serving.size();
        m_serving.clear();
        {
            const std::lock_guard lock(m_mutex);
            m_replies.insert(m_replies.end(), m_answers.begin(), m_answers.end());
        }
        signal(m_wake);
        return served;
    }

private:
    using TimePoint = std::chrono::steady_clock::time_point;

    struct Client {
        int fd = -1;
        std::uint64_t id = 0;
        std::vector<std::uint8_t> unframed;  // received, not yet a whole frame
        std::vector<std::uint8_t> unsent;    // answers not yet taken by the socket
        unsigned pending = 0;                // requests handed over, not yet answered
        TimePoint heard{};                   // when it connected or last sent anything
        bool closing = false;                // close once the answers before are sent
        bool draining = false;               // read no more; close once all owed is sent
        bool gone = false;
    };

    // Silence is counted only while nothing is owed to the client: a request that waits for
    // the simulation is not the client's silence.
    static bool silent(const Client& client) { return client.pending == 0 && !client.gone; }

    void run() {
        std::vector<pollfd> polled;
        while (!m_stopping) {
            polled.clear();
            polled.push_back({m_wake, POLLIN, 0});
            // While the process is out of descriptors the listener stays readable; it is left
            // out of the poll for a moment so that the thread does not spin on it.
            const auto now = std::chrono::steady_clock::now();
            const bool listening = now >= m_acceptPausedUntil;
            polled.push_back({listening ? m_listener : -1, POLLIN, 0});
            for (const Client& client : m_clients) {
                short events = 0;
                if (wantsInput(client)) {
                    events |= POLLIN;
                }
                if (!client.unsent.empty()) {
                    events |= POLLOUT;
                }
                polled.push_back({client.fd, events, 0});
            }
            const int timeout = pollTimeout(listening ? TimePoint::max() : m_acceptPausedUntil);
            if (::poll(polled.data(), polled.size(), timeout) < 0) {
                continue;  // interrupted
            }
            if (m_stopping) {
                break;
            }
            // The clients first, while they still stand in the order they were polled in.
            for (std::size_t i = 2; i < polled.size(); ++i) {
                Client& client = m_clients[i - 2];
                const short events = polled[i].revents;
                if ((events & (POLLERR | POLLHUP | POLLNVAL)) != 0 && (events & POLLIN) == 0) {
                    client.gone = true;
                    continue;
                }
                if ((events & POLLIN) != 0) {
                    receive(client);
                }
                if ((events & POLLOUT) != 0) {
                    send(client);
                }
            }
            if (polled[0].revents != 0) {
                drain(m_wake);
                takeAnswers();
            }
            closeSilent();
            dropGone();
            if ((polled[1].revents & POLLIN) != 0) {
                accept();
            }
            handOver();
        }
    }

    static bool wantsInput(const Client& client) {
        return client.pending < kMaxPending && client.unsent.size() < kMaxUnsent &&
               client.unframed.size() < kMaxUnframed && !client.closing && !client.draining;
    }

    // Milliseconds until the earliest of `pausedUntil` (real time) and the moment a client
    // falls silent too long (the server's clock); -1 for never.
    int pollTimeout(TimePoint pausedUntil) const {
        using std::chrono::milliseconds;
        milliseconds wait = milliseconds::max();
        if (pausedUntil != TimePoint::max()) {
            wait = std::chrono::ceil<milliseconds>(pausedUntil - std::chrono::steady_clock::now());
        }
        const TimePoint now = m_clock();
        for (const Client& client : m_clients) {
            if (silent(client)) {
                wait = std::min(
                    wait, std::chrono::ceil<milliseconds>(client.heard + m_limits.close - now));
            }
        }
        if (wait == milliseconds::max()) {
            return -1;
        }
        return static_cast<int>(std::clamp<milliseconds::rep>(wait.count(), 0, 60'000));
    }

    void closeSilent() {
        const TimePoint now = m_clock();
        for (Client& client : m_clients) {
            if (silent(client) && now - client.heard >= m_limits.close) {
                client.gone = true;
            }
        }
    }

    // A client that went away since the last poll still holds its place: ask every socket now
    // whether its peer has closed, so that such places count as free.
    void noticeClosed() {
        std::vector<pollfd> polled;
        for (const Client& client : m_clients) {
            polled.push_back({client.fd, POLLIN | POLLRDHUP, 0});
        }
        if (::poll(polled.data(), polled.size(), 0) <= 0) {
            return;
        }
        for (std::size_t i = 0; i < polled.size(); ++i) {
            const short events = polled[i].revents;
            std::uint8_t byte = 0;
            // A peer that closed after sending a request is read first, as usual.
            if ((events & (POLLHUP | POLLERR | POLLNVAL)) != 0 ||
                ((events & POLLRDHUP) != 0 &&
                 ::recv(polled[i].fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0)) {
                m_clients[i].gone = true;
            }
        }
        dropGone();
    }

    // With every place taken, the client silent longest gives its place up if it has been
    // silent longer than the limit; true when a place is free.
    bool displaceSilent() {
        const TimePoint now = m_clock();
        Client* longest = nullptr;
        for (Client& client : m_clients) {
            if (silent(client) && (longest == nullptr || client.heard < longest->heard)) {
                longest = &client;
            }
        }
        if (longest == nullptr || now - longest->heard <= m_limits.displace) {
            return false;
        }
        longest->gone = true;
        dropGone();
        return true;
    }

    void accept() {
        for (;;) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                    m_acceptPausedUntil =
                        std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
                }
                return;  // none left, or one that went away before it was taken
            }
            if (m_clients.size() >= kModbusMaxClients) {
                noticeClosed();
            }
            if (m_clients.size() >= kModbusMaxClients && !displaceSilent()) {
                ::close(fd);
                continue;
            }
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
            ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleSeconds,
                         sizeof kKeepAliveIdleSeconds);
            ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalSeconds,
                         sizeof kKeepAliveIntervalSeconds);
            ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
            Client client;
            client.fd = fd;
            client.id = ++m_lastId;
            client.heard = m_clock();
            m_clients.push_back(std::move(client));
            m_clientCount = m_clients.size();
        }
    }

    void receive(Client& client) {
        std::array<std::uint8_t, kMaxUnframed> buffer;
        const std::size_t room = kMaxUnframed - client.unframed.size();
        const ssize_t got = ::recv(client.fd, buffer.data(), room, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            // Gone, perhaps halfway through a request: that request is dropped with it.
            client.gone = true;
            return;
        }
        if (got > 0) {
            client.heard = m_clock();
            client.unframed.insert(client.unframed.end(), buffer.begin(), buffer.begin() + got);
            frame(client);
        }
    }

    // Cuts whole frames off the received bytes; a header no Modbus TCP frame has closes the
    // connection, since nothing after it can be trusted to start a frame, but only once the
    // requests before it are answered: the client is owed those.
    void frame(Client& client) {
        std::size_t at = 0;
        while (client.pending < kMaxPending && client.unframed.size() - at >= kMbapBytes) {
            const std::uint8_t* header = client.unframed.data() + at;
            const unsigned protocol = static_cast<unsigned>(header[2] << 8 | header[3]);
            const unsigned length = static_cast<unsigned>(header[4] << 8 | header[5]);
            if (protocol != 0 || length < 2 || length > kModbusMaxPdu + 1) {
                client.unframed.clear();
                client.draining = true;
                closeWhenSettled(client);
                return;
            }
            const std::size_t size = 6 + length;
            if (client.unframed.size() - at < size) {
                break;
            }
            Frame& request = m_received.emplace_back();
            request.client = client.id;
            request.size = size;
            std::copy_n(header, size, request.bytes.begin());
            ++client.pending;
            at += size;
        }
        client.unframed.erase(client.unframed.begin(),
                              client.unframed.begin() + static_cast<std::ptrdiff_t>(at));
    }

    void send(Client& client) {
        const ssize_t sent = ::send(client.fd, client.unsent.data(), client.unsent.size(),
                                    MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                client.gone = true;
            }
            return;
        }
        client.unsent.erase(client.unsent.begin(), client.unsent.begin() + sent);
        closeWhenSettled(client);
    }

    static void closeWhenSettled(Client& client) {
        if (client.unsent.empty() && (client.closing || (client.draining && client.pending == 0))) {
            client.gone = true;
        }
    }

    void takeAnswers() {
        {
            const std::lock_guard lock(m_mutex);
            m_taken.swap(m_replies);
        }
        for (const Frame& answer : m_taken) {
            const auto found = std::find_if(m_clients.begin(), m_clients.end(),
                                            [&](const Client& c) { return c.id == answer.client; });
            if (found == m_clients.end() || found->closing) {
                continue;  // the client has gone, or a malformed request ended it
            }
            --found->pending;
            if (answer.size == 0) {
                found->closing = true;
                found->unframed.clear();
            } else {
                found->unsent.insert(
                    found->unsent.end(), answer.bytes.begin(),
                    answer.bytes.begin() + static_cast<std::ptrdiff_t>(answer.size));
            }
        }
        m_taken.clear();
        for (Client& client : m_clients) {
            if (!client.closing && !client.draining) {
                frame(client);  // requests held back while too many were waiting
            }
            send(client);
        }
    }

    void dropGone() {
        const auto gone = std::remove_if(m_clients.begin(), m_clients.end(), [](const Client& c) {
            if (c.gone) {
                ::close(c.fd);
            }
            return c.gone;
        });
        m_clients.erase(gone, m_clients.end());
        m_clientCount = m_clients.size();
    }

    void handOver() {
        if (m_received.empty()) {
            return;
        }
        {
            const std::lock_guard lock(m_mutex);
            m_requests.insert(m_requests.end(), m_received.begin(), m_received.end());
        }
        m_received.clear();
        signal(m_ready);
    }

    const int m_listener;
    std::chrono::steady_clock::time_point m_acceptPausedUntil{};
    const std::uint16_t m_port;
    const ModbusClock m_clock;
    const ModbusIdleLimits m_limits;
    const int m_wake;   // tells the server's thread to take answers, or to stop
    const int m_ready;  // tells the simulation that requests wait
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<std::size_t> m_clientCount{0};

    // Shared, under the mutex.
    std::mutex m_mutex;
    std::vector<Frame> m_requests;
    std::vector<Frame> m_replies;

    // The server's thread only.
    std::vector<Client> m_clients;
    std::vector<Frame> m_received;
    std::vector<Frame> m_taken;
    std::uint64_t m_lastId = 0;

    // The simulation's thread only.
    std::vector<Frame> m_serving;
    std::vector<Frame> m_answers;
};

ModbusServer::ModbusServer() : m_clock([] { return std::chrono::steady_clock::now(); }) {}

ModbusServer::ModbusServer(ModbusClock clock) : m_clock(std::move(clock)) {}

ModbusServer::~ModbusServer() {
    close();
}

ModbusOpenResult ModbusServer::open(const ModbusEndpoint& endpoint,
                                    const ModbusIdleLimits& limits) {
    close();
    const std::string service = std::to_string(endpoint.port);
    modbus_t* context = modbus_new_tcp_pi(endpoint.host.c_str(), service.c_str());
    if (context == nullptr) {
        return ModbusOpenResult::AddressUnavailable;
    }
    errno = 0;
    const int listener = modbus_tcp_pi_listen(context, kBacklog);
    const int error = errno;
    modbus_free(context);  // the listening socket is not the context's and stays open
    if (listener < 0) {
        return resultOf(error);
    }
    // Accepting must never wait: a client that gives up between poll and accept is no reason
    // to stop.
    ::fcntl(listener, F_SETFL, ::fcntl(listener, F_GETFL) | O_NONBLOCK);
    ::fcntl(listener, F_SETFD, FD_CLOEXEC);
    sockaddr_storage bound{};
    socklen_t boundSize = sizeof bound;
    std::uint16_t port = endpoint.port;
    if (::getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &boundSize) == 0) {
        port = bound.ss_family == AF_INET6
                   ? ntohs(reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port)
                   : ntohs(reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
    }
    auto worker = std::make_unique<Worker>(listener, port, m_clock, limits);
    if (!worker->start()) {
        return ModbusOpenResult::Failed;
    }
    m_worker = std::move(worker);
    return ModbusOpenResult::Listening;
}

void ModbusServer::close() {
    m_worker.reset();
}

bool ModbusServer::isOpen() const {
    return m_worker != nullptr;
}

std::uint16_t ModbusServer::port() const {
    return m_worker ? m_worker->port() : 0;
}

int ModbusServer::readyDescriptor() const {
    return m_worker ? m_worker->ready() : -1;
}

std::size_t ModbusServer::serve(plc::Plc& plc, PanelInputs& panel) {
    return m_worker ? m_worker->serve(plc, panel) : 0;
}

void ModbusServer::waitForRequests(std::chrono::steady_clock::time_point until) const {
    if (!m_worker) {
        std::this_thread::sleep_until(until);
        return;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        return;
    }
    pollfd ready{m_worker->ready(), POLLIN, 0};
    ::poll(&ready, 1, static_cast<int>(std::min<long long>(left.count(), 60'000)));
}

std::size_t ModbusServer::clientCount() const {
    return m_worker ? m_worker->clientCount() : 0;
}

std::size_t ModbusServer::waitingRequests() const {
    return m_worker ? m_worker->waitingRequests() : 0;
}

}  // namespace iolink
