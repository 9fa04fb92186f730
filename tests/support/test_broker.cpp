// The private test broker: a free port, a configuration in a temporary folder, the broker as a
// child process, and the command-line clients to publish and read.
#include "tests/support/test_broker.h"

#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mosquitto.h>
#include <mutex>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

std::string brokerProgram() {
    for (const char* path :
         {"/usr/sbin/mosquitto", "/usr/bin/mosquitto", "/usr/local/sbin/mosquitto"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return {};
}

bool accepts(std::uint16_t port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

}  // namespace

std::uint16_t TestBroker::freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    std::uint16_t port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(s);
    return port;
}

TestBroker::TestBroker(const std::string& user, const std::string& password)
    : m_user(user), m_password(password) {
    static std::atomic<int> counter{0};
    m_dir = std::filesystem::temp_directory_path() /
            ("wirtualon-broker-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(m_dir);
    // Another process may take the port between asking and binding: try again then.
    for (int attempt = 0; attempt < 5 && !start(user, password); ++attempt) {
    }
}

TestBroker::~TestBroker() {
    kill();
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

bool TestBroker::start(const std::string& user, const std::string& password) {
    const std::string program = brokerProgram();
    if (program.empty()) {
        m_problem = "mosquitto is not installed (make deps installs it)";
        return true;  // no use trying again
    }
    m_port = freePort();
    const std::filesystem::path config = m_dir / "mosquitto.conf";
    {
        std::ofstream out(config);
        out << "listener " << m_port << " 127.0.0.1\n"
            << "persistence false\n"
            << "log_dest none\n";
        if (password.empty()) {
            out << "allow_anonymous true\n";
        } else {
            const std::filesystem::path passwords = m_dir / "passwords";
            const std::string command = "mosquitto_passwd -c -b " + quoted(passwords.string()) +
                                        " " + quoted(user) + " " + quoted(password) +
                                        " >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0) {
                m_problem = "mosquitto_passwd failed";
                return true;
            }
            out << "allow_anonymous false\n"
                << "password_file " << passwords.string() << "\n";
        }
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(program.c_str(), program.c_str(), "-c", config.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid < 0) {
        m_problem = "fork failed";
        return true;
    }
    m_pid = pid;
    for (int i = 0; i < 200; ++i) {
        if (accepts(m_port)) {
            return true;
        }
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_problem = "mosquitto ended at start";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill();
    m_problem = "mosquitto does not accept connections";
    return false;
}

std::string TestBroker::service() const {
    return "127.0.0.1:" + std::to_string(m_port);
}

void TestBroker::kill() {
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}

bool TestBroker::publish(const std::string& topic, const std::string& value, bool retained) const {
    std::string command = "mosquitto_pub -h 127.0.0.1 -p " + std::to_string(m_port);
    if (!m_password.empty()) {
        command += " -u " + quoted(m_user) + " -P " + quoted(m_password);
    }
    command += std::string(retained ? " -r" : "") + " -t " + quoted(topic) + " -m " + quoted(value);
    return std::system(command.c_str()) == 0;
}

namespace {

// What the publishing client's network thread has seen.
struct Acknowledgements {
    std::mutex mutex;
    std::condition_variable changed;
    bool connected = false;
    std::size_t published = 0;

    static Acknowledgements& of(void* object) { return *static_cast<Acknowledgements*>(object); }
    void bump(bool connect) {
        {
            const std::lock_guard lock(mutex);
            if (connect) {
                connected = true;
            } else {
                ++published;
            }
        }
        changed.notify_all();
    }
};

}  // namespace

bool TestBroker::publishAll(const std::vector<std::pair<std::string, std::string>>& messages,
                            bool retained) const {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
    Acknowledgements acks;
    mosquitto* client = mosquitto_new(nullptr, true, &acks);
    if (client == nullptr) {
        return false;
    }
    mosquitto_connect_callback_set(client, [](mosquitto*, void* object, int code) {
        if (code == 0) {
            Acknowledgements::of(object).bump(true);
        }
    });
    mosquitto_publish_callback_set(
        client, [](mosquitto*, void* object, int) { Acknowledgements::of(object).bump(false); });
    if (!m_password.empty()) {
        mosquitto_username_pw_set(client, m_user.c_str(), m_password.c_str());
    }
    bool ok = mosquitto_connect(client, "127.0.0.1", m_port, 60) == MOSQ_ERR_SUCCESS &&
              mosquitto_loop_start(client) == MOSQ_ERR_SUCCESS;
    if (ok) {
        std::unique_lock lock(acks.mutex);
        ok = acks.changed.wait_for(lock, std::chrono::seconds(30), [&] { return acks.connected; });
    }
    // Quality 1: the broker has taken each message once its acknowledgement is in.
    for (std::size_t i = 0; ok && i < messages.size(); ++i) {
        const auto& [topic, value] = messages[i];
        ok = mosquitto_publish(client, nullptr, topic.c_str(), static_cast<int>(value.size()),
                               value.data(), 1, retained) == MOSQ_ERR_SUCCESS;
    }
    if (ok) {
        std::unique_lock lock(acks.mutex);
        ok = acks.changed.wait_for(lock, std::chrono::seconds(60),
                                   [&] { return acks.published == messages.size(); });
    }
    mosquitto_disconnect(client);
    mosquitto_loop_stop(client, true);
    mosquitto_destroy(client);
    return ok;
}

std::string TestBroker::retainedValue(const std::string& topic,
                                      std::chrono::milliseconds wait) const {
    std::string command = "mosquitto_sub -h 127.0.0.1 -p " + std::to_string(m_port);
    if (!m_password.empty()) {
        command += " -u " + quoted(m_user) + " -P " + quoted(m_password);
    }
    const long seconds = std::max<long>(1, static_cast<long>((wait.count() + 999) / 1000));
    command += " -C 1 -W " + std::to_string(seconds) + " -t " + quoted(topic) + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "<none>";
    }
    std::string out;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
        out += buffer.data();
    }
    const int status = ::pclose(pipe);
    if (status != 0 || out.empty()) {
        return "<none>";
    }
    if (out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

}  // namespace testsupport
