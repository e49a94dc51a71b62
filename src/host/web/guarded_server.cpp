#include "guarded_server.h"

#include <array>
#include <atomic>
#include <charconv>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>
#include <vector>

#include "connection_stream.h"
#include "sockets.h"

namespace couloir::host::web {
namespace {

using Clock = std::chrono::steady_clock;

// After an answer that ends a connection, what the client still sends is read
// and dropped for a moment before the socket is closed: closed with unread
// bytes, it would be reset, and the client could lose the answer.
constexpr std::chrono::milliseconds kLinger{1000};
constexpr std::size_t kLingerBytes = std::size_t{1} << 20;
// How often the reception looks for connections past their deadline.
constexpr int kSweepMilliseconds = 50;

std::string tooLarge(std::size_t headBytes) {
    return "En-têtes de la requête trop volumineux : " + std::to_string(headBytes >> 10) +
           " Kio au plus, ligne de requête comprise.";
}
const char* const kFull = "Serveur saturé : trop de connexions ouvertes, réessayez.";

}  // namespace

// The reception thread and the workers of one listen_after_bind.
class GuardedServer::Gate {
public:
    explicit Gate(GuardedServer& server);
    ~Gate() { stop(); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    // A socket cpp-httplib accepted (on its accepting thread).
    void admit(socket_t fd);
    // Ends every connection; returns when no thread of the gate runs.
    void stop();

private:
    struct Connection {
        enum class Phase {
            Request,   // waiting for a request's head, some of it perhaps read
            Idle,      // kept alive after an answer, nothing of a next request yet
            Draining,  // answered for the last time, reading what the client still sends
        };
        socket_t fd = INVALID_SOCKET;
        Phase phase = Phase::Request;
        std::string pending;          // bytes read and not yet given to a worker
        std::size_t headLength = 0;   // once the head is complete
        Clock::time_point started;    // when the server began to wait for this request
        Clock::time_point deadline;   // of the phase
        std::size_t drained = 0;
        std::size_t served = 0;       // requests answered on the connection
    };

    // From any thread: the connection joins the reception (or is closed when stopping).
    void handOver(Connection connection);
    void receive();  // the reception thread
    void bringIn();
    void readable(socket_t fd);
    // A request's head is complete in `pending` (looked for from `from`), too
    // large, or still coming.
    void examine(Connection& connection, std::size_t from);
    void dispatch(socket_t fd);
    void sweep();
    void keepWithinLimit();
    // Answers `answer` and ends the connection once the client has had time to read it.
    void refuse(Connection& connection, const std::string& answer);
    void close(socket_t fd);  // a connection of the reception
    void closeSocket(socket_t fd);

    void serve(Connection connection);  // on a worker

    GuardedServer& server_;
    const RequestLimits& limits_;
    const std::size_t maxConnections_;
    sockets::Watch watch_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> open_{0};
    std::mutex mutex_;
    std::vector<Connection> incoming_;  // handed over, not yet in the reception
    std::set<socket_t> serving_;        // the sockets the workers serve
    std::unordered_map<socket_t, Connection> waiting_;  // the reception thread's own
    std::array<char, 16384> scratch_{};             // the reception thread's own
    Clock::time_point lastSweep_ = Clock::now();
    httplib::ThreadPool workers_;
    std::thread reception_;
    bool stopped_ = false;
};

GuardedServer::Gate::Gate(GuardedServer& server)
    : server_(server),
      limits_(server.limits_),
      maxConnections_(connectionsWithin(limits_.connections, sockets::openSocketLimit(), limits_.workers)),
      workers_(limits_.workers) {
    reception_ = std::thread([this] { receive(); });
}

void GuardedServer::Gate::stop() {
    if (stopped_) return;
    stopped_ = true;
    stopping_ = true;
    {
        // A worker reading an upload or writing events stops at once.
        std::lock_guard lock(mutex_);
        for (socket_t fd : serving_) sockets::shutdownBoth(fd);
    }
    watch_.wake();
    reception_.join();
    workers_.shutdown();
    std::lock_guard lock(mutex_);
    for (Connection& connection : incoming_) closeSocket(connection.fd);
    incoming_.clear();
}

void GuardedServer::Gate::admit(socket_t fd) {
    sockets::setNonBlocking(fd);
    // An answer goes out as cpp-httplib writes it (head, then body), without
    // waiting for the client to acknowledge the head.
    sockets::setNoDelay(fd);
    ++open_;
    Connection connection;
    connection.fd = fd;
    connection.started = Clock::now();
    connection.deadline = connection.started + limits_.readDeadline;
    handOver(std::move(connection));
}

void GuardedServer::Gate::handOver(Connection connection) {
    {
        std::lock_guard lock(mutex_);
        if (!stopping_) {
            incoming_.push_back(std::move(connection));
            connection.fd = INVALID_SOCKET;
        }
    }
    if (connection.fd != INVALID_SOCKET) {
        closeSocket(connection.fd);
        return;
    }
    watch_.wake();
}

void GuardedServer::Gate::closeSocket(socket_t fd) {
    sockets::close(fd);
    --open_;
}

void GuardedServer::Gate::receive() {
    while (!stopping_) {
        for (socket_t fd : watch_.wait(kSweepMilliseconds)) readable(fd);
        bringIn();
        if (Clock::now() - lastSweep_ >= std::chrono::milliseconds(kSweepMilliseconds)) sweep();
    }
    for (auto& [fd, connection] : waiting_) closeSocket(fd);
    waiting_.clear();
}

void GuardedServer::Gate::bringIn() {
    std::vector<Connection> arrived;
    {
        std::lock_guard lock(mutex_);
        arrived.swap(incoming_);
    }
    for (Connection& connection : arrived) {
        socket_t fd = connection.fd;
        if (!watch_.add(fd)) {
            closeSocket(fd);
            continue;
        }
        Connection& kept = waiting_.emplace(fd, std::move(connection)).first->second;
        // A request sent right behind the previous one may be whole already.
        if (kept.phase == Connection::Phase::Request && !kept.pending.empty()) examine(kept, 0);
    }
    keepWithinLimit();
}

void GuardedServer::Gate::readable(socket_t fd) {
    auto found = waiting_.find(fd);
    if (found == waiting_.end()) return;
    Connection& connection = found->second;
    if (connection.phase == Connection::Phase::Draining) {
        long long got = sockets::receive(fd, scratch_.data(), scratch_.size());
        if (got < 0 && (sockets::lastCallWouldBlock() || sockets::lastCallInterrupted())) return;
        if (got <= 0 || (connection.drained += static_cast<std::size_t>(got)) > kLingerBytes) close(fd);
        return;
    }
    // Never more than one byte past the limit: enough to know it is passed.
    std::size_t held = connection.pending.size();
    std::size_t room = held > limits_.headBytes ? 0 : limits_.headBytes + 1 - held;
    if (room == 0) return refuse(connection, closingAnswer(431, tooLarge(limits_.headBytes)));
    long long got = sockets::receive(fd, scratch_.data(), std::min(room, scratch_.size()));
    if (got < 0 && (sockets::lastCallWouldBlock() || sockets::lastCallInterrupted())) return;
    if (got <= 0) {  // the client left, or the socket failed: a request half sent goes with it
        close(fd);
        return;
    }
    if (connection.phase == Connection::Phase::Idle) {
        connection.phase = Connection::Phase::Request;
        connection.started = Clock::now();
        connection.deadline = connection.started + limits_.readDeadline;
    }
    // A head that does not come in one read may come to the limit: room for
    // it at once, rather than copies of every size on the way.
    if (held > 0 && held + static_cast<std::size_t>(got) > connection.pending.capacity())
        connection.pending.reserve(limits_.headBytes + 1);
    connection.pending.append(scratch_.data(), static_cast<std::size_t>(got));
    examine(connection, held >= 3 ? held - 3 : 0);
}

void GuardedServer::Gate::examine(Connection& connection, std::size_t from) {
    std::size_t end = connection.pending.find("\r\n\r\n", from);
    if (end != std::string::npos && end + 4 <= limits_.headBytes) {
        connection.headLength = end + 4;
        dispatch(connection.fd);
    } else if (end != std::string::npos || connection.pending.size() > limits_.headBytes) {
        refuse(connection, closingAnswer(431, tooLarge(limits_.headBytes)));
    }
}

void GuardedServer::Gate::dispatch(socket_t fd) {
    auto found = waiting_.find(fd);
    watch_.remove(fd);
    Connection connection = std::move(found->second);
    waiting_.erase(found);
    {
        std::lock_guard lock(mutex_);
        serving_.insert(fd);
    }
    workers_.enqueue([this, connection = std::move(connection)]() mutable { serve(std::move(connection)); });
}

void GuardedServer::Gate::refuse(Connection& connection, const std::string& answer) {
    sendAtOnce(connection.fd, answer);
    sockets::shutdownSending(connection.fd);
    connection.phase = Connection::Phase::Draining;
    connection.pending = std::string();
    connection.drained = 0;
    connection.deadline = Clock::now() + kLinger;
}

void GuardedServer::Gate::close(socket_t fd) {
    watch_.remove(fd);
    waiting_.erase(fd);
    closeSocket(fd);
}

void GuardedServer::Gate::sweep() {
    Clock::time_point now = lastSweep_ = Clock::now();
    std::vector<socket_t> late;
    for (auto& [fd, connection] : waiting_)
        if (now >= connection.deadline) late.push_back(fd);
    for (socket_t fd : late) {
        Connection& connection = waiting_.at(fd);
        // A client that sent part of a request is told; one that sent nothing
        // (a browser's spare connection, an idle kept-alive one) is just closed.
        if (connection.phase == Connection::Phase::Request && !connection.pending.empty())
            refuse(connection, lateAnswer());
        else
            close(fd);
    }
}

// Past the number of connections, those that have waited longest for their
// request make room, those lingering after a last answer first: a client that
// keeps many connections open cannot keep out one that sends its request.
void GuardedServer::Gate::keepWithinLimit() {
    while (open_ > maxConnections_ && !waiting_.empty()) {
        auto rank = [](const Connection& c) { return c.phase == Connection::Phase::Draining ? 0 : 1; };
        auto oldest = waiting_.begin();
        for (auto it = waiting_.begin(); it != waiting_.end(); ++it) {
            const Connection &candidate = it->second, &best = oldest->second;
            if (rank(candidate) < rank(best) || (rank(candidate) == rank(best) && candidate.started < best.started))
                oldest = it;
        }
        socket_t fd = oldest->first;
        if (oldest->second.phase == Connection::Phase::Request && !oldest->second.pending.empty())
            sendAtOnce(fd, closingAnswer(503, kFull));
        close(fd);
    }
}

void GuardedServer::Gate::serve(Connection connection) {
    socket_t fd = connection.fd;
    if (stopping_) {
        {
            std::lock_guard lock(mutex_);
            serving_.erase(fd);
        }
        return handOver(std::move(connection));  // closes it
    }
    bool last = stopping_ || connection.served + 1 >= limits_.keepAliveRequests;
    bool clientCloses = false, ok = false, chunked = false;
    std::optional<std::uint64_t> declaredBody;
    ConnectionStream stream(fd, std::move(connection.pending), connection.started, limits_);
    try {
        ok = server_.process_request(stream, last, clientCloses, [&](httplib::Request& request) {
            chunked = request.has_header("Transfer-Encoding");
            std::string length = request.get_header_value("Content-Length");
            std::uint64_t value = 0;
            auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), value);
            if (!length.empty() && error == std::errc() && end == length.data() + length.size())
                declaredBody = value;
            else if (!length.empty())
                chunked = true;  // unreadable length: the connection is not reused
        });
    } catch (...) {
        ok = false;
    }
    {
        std::lock_guard lock(mutex_);
        serving_.erase(fd);
    }
    connection.served += 1;
    // A body the handler did not read (a request refused before it) would be
    // taken for the next request: the connection ends instead.
    std::uint64_t bodyRead = stream.consumed() - std::min<std::uint64_t>(stream.consumed(), connection.headLength);
    bool bodyDone = !chunked && bodyRead >= declaredBody.value_or(0);
    connection.pending = stream.leftover();
    connection.headLength = 0;
    if (ok && !last && !clientCloses && bodyDone && !stream.timedOut()) {
        connection.started = Clock::now();
        if (connection.pending.empty()) {
            connection.phase = Connection::Phase::Idle;
            connection.deadline = connection.started + limits_.keepAliveIdle;
        } else {
            connection.phase = Connection::Phase::Request;
            connection.deadline = connection.started + limits_.readDeadline;
        }
    } else {
        sockets::shutdownSending(fd);
        connection.phase = Connection::Phase::Draining;
        connection.pending = std::string();
        connection.deadline = Clock::now() + kLinger;
    }
    handOver(std::move(connection));
}

GuardedServer::GuardedServer(RequestLimits limits) : limits_(limits) {
    using std::chrono::duration_cast;
    using std::chrono::seconds;
    // What cpp-httplib tells the client in its Keep-Alive header.
    set_keep_alive_max_count(limits_.keepAliveRequests);
    set_keep_alive_timeout(std::max<time_t>(1, duration_cast<seconds>(limits_.keepAliveIdle).count()));
    // Its accepting loop enqueues one job per connection; the job runs at once
    // and only hands the socket to the gate.
    struct AtOnce : httplib::TaskQueue {
        explicit AtOnce(GuardedServer& server) : server(server) { server.gate_ = std::make_unique<Gate>(server); }
        void enqueue(std::function<void()> job) override { job(); }
        void shutdown() override {
            server.gate_->stop();
            server.gate_.reset();
        }
        GuardedServer& server;
    };
    new_task_queue = [this] { return new AtOnce(*this); };
}

GuardedServer::~GuardedServer() = default;

int GuardedServer::bindTo(const std::string& host, int port) {
    int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
    // cpp-httplib listens with a backlog of 5: of a burst of connections, most
    // would be dropped and tried again by the client a second later. Listening
    // again on the bound socket only changes the backlog.
    if (bound > 0) ::listen(svr_sock_, SOMAXCONN);
    return bound > 0 ? bound : -1;
}

bool GuardedServer::process_and_close_socket(socket_t sock) {
    if (!gate_) {
        sockets::close(sock);
        return false;
    }
    gate_->admit(sock);
    return true;
}

}  // namespace couloir::host::web
