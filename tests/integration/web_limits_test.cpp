// couloir serve against clients that send too much or too slowly: the size
// of a request's head, the read deadline, and the token holder answered
// whatever the other connections do.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include "serve_process.h"
#include "test_support.h"

namespace couloir::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using json = nlohmann::json;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string request(const std::string& token, const std::string& extraHeaders = {}) {
    return "GET /api/summary HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token + "\r\n" + extraHeaders +
           "\r\n";
}

// The JSON body of a raw answer.
json bodyOf(const std::string& answer) {
    std::size_t start = answer.find("\r\n\r\n");
    return start == std::string::npos ? json() : json::parse(answer.substr(start + 4), nullptr, false);
}

std::size_t countOf(const std::string& text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// `count` connections sending header lines (or one endless line) at the
// same time, each until the server answers or `cap` bytes have gone; what
// each received. Bounded by 20 s in all.
std::vector<std::string> flood(int port, std::size_t count, std::size_t cap, bool oneLine) {
    std::string chunk = "GET /api/summary HTTP/1.1\r\n";
    std::string line = oneLine ? std::string(1000, 'a') : "X-Flood: " + std::string(989, 'a') + "\r\n";
    while (chunk.size() < 16384) chunk += line;
    std::vector<std::unique_ptr<RawConnection>> connections;
    std::vector<std::size_t> sent(count, 0);
    std::vector<std::string> received(count);
    for (std::size_t i = 0; i < count; ++i) connections.push_back(std::make_unique<RawConnection>(port));
    auto end = Clock::now() + 20s;
    while (Clock::now() < end) {
        std::vector<SocketPoll> watched;
        for (std::size_t i = 0; i < count; ++i) {
            if (connections[i]->closed()) continue;
            short events = POLLIN;
            if (sent[i] < cap && received[i].empty()) events |= POLLOUT;
            watched.push_back({connections[i]->fd(), events, 0});
        }
        if (watched.empty()) break;
        pollSockets(watched.data(), watched.size(), 100);
        for (std::size_t i = 0, w = 0; i < count; ++i) {
            if (connections[i]->closed()) continue;
            const SocketPoll& ready = watched[w++];
            if (ready.revents & (POLLIN | POLLERR | POLLHUP)) {
                received[i] += connections[i]->receive(0ms);
                connections[i]->closedByServer();
            } else if (ready.revents & POLLOUT) {
                sent[i] += connections[i]->sendSome(chunk);
            }
        }
    }
    return received;
}

class WebLimits : public ::testing::Test {
protected:
    void SetUp() override { db_ = createClubDatabase(db_); }

    ScratchDir dir_;
    std::string db_ = dir_.file("club.db");
};

TEST_F(WebLimits, RefusesHeadsOverTheLimitWithBoundedMemory) {
    ServeProcess server(db_);
    std::string line = "X-Filler: " + std::string(3988, 'b') + "\r\n";  // 4,000 bytes
    auto withLines = [&](int lines) {
        std::string extra;
        for (int i = 0; i < lines; ++i) extra += line;
        return extra;
    };
    // 60 kB of headers are served; 68 kB are not, nor an endless line.
    RawConnection under(server.port());
    ASSERT_TRUE(under.send(request(server.token(), withLines(15))));
    EXPECT_TRUE(under.receive(5s, "\"clubs\"").starts_with("HTTP/1.1 200"));

    RawConnection over(server.port());
    over.send(request(server.token(), withLines(17)));
    std::string refused = over.receive(5s);
    EXPECT_TRUE(refused.starts_with("HTTP/1.1 431")) << refused;
    EXPECT_NE(bodyOf(refused).value("error", "").find("En-têtes de la requête trop volumineux"), std::string::npos);
    EXPECT_TRUE(over.closed());

    // Many clients flooding at once, each with megabytes of header: every one
    // is refused after 64 KiB, and the server's memory, at its highest, stays
    // near where it was (cpp-httplib alone keeps every header line it reads).
    for (int i = 0; i < 3; ++i) server.client().Get("/api/summary");
    long before = server.memoryKilobytes("VmRSS");
    for (bool oneLine : {false, true}) {
        std::vector<std::string> answers = flood(server.port(), 40, std::size_t{16} << 20, oneLine);
        for (const std::string& answer : answers)
            EXPECT_TRUE(answer.starts_with("HTTP/1.1 431")) << answer.substr(0, 80);
    }
    long highest = server.memoryKilobytes("VmHWM");
    EXPECT_LT(highest - before, 32 * 1024) << before << " kB, then at most " << highest << " kB";
    EXPECT_EQ(server.client().Get("/api/summary")->status, 200);
}

// Idle connections, and heads sent a line at a time, cost the server a
// socket each, never a worker: the token holder is answered at once.
TEST_F(WebLimits, SlowConnectionsDoNotKeepTheTokenHolderOut) {
    ServeProcess server(db_);
    std::vector<std::unique_ptr<RawConnection>> slow;
    for (int i = 0; i < 200; ++i) {
        slow.push_back(std::make_unique<RawConnection>(server.port()));
        if (i % 2 == 0) slow.back()->send("GET /api/summary HTTP/1.1\r\n");
    }
    double worst = 0;
    auto start = Clock::now(), lastLine = start;
    while (secondsSince(start) < 3) {
        if (Clock::now() - lastLine >= 1s) {
            for (std::size_t i = 0; i < slow.size(); i += 2) slow[i]->send("X-Slow: 1\r\n");
            lastLine = Clock::now();
        }
        httplib::Client client = server.client();
        client.set_read_timeout(2, 0);
        auto asked = Clock::now();
        auto summary = client.Get("/api/summary");
        worst = std::max(worst, secondsSince(asked));
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->status, 200);
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_LT(worst, 1.0);
    // Under the connection limit, nobody had to be turned away.
    for (auto& connection : slow) EXPECT_FALSE(connection->closedByServer());
}

// With few descriptors, the connections that have waited longest for their
// request make room: the server neither fails nor keeps the token holder out.
TEST_F(WebLimits, MakesRoomUnderALowOpenFileLimit) {
#ifdef _WIN32
    GTEST_SKIP() << "no open-file limit to set on Windows";
#endif
    ServeProcess server(db_, {}, 128);  // room for 96 connections
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 200; ++i) idle.push_back(std::make_unique<RawConnection>(server.port()));
    for (int i = 0; i < 3; ++i) {
        httplib::Client client = server.client();
        client.set_connection_timeout(2, 0);
        client.set_read_timeout(2, 0);
        auto summary = client.Get("/api/summary");
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->status, 200);
    }
    std::this_thread::sleep_for(200ms);
    std::size_t closed = 0;
    for (auto& connection : idle) closed += connection->closedByServer();
    EXPECT_GE(closed, 100u);
    EXPECT_TRUE(idle.front()->closed());
    EXPECT_FALSE(idle.back()->closed());
}

TEST_F(WebLimits, DropsARequestPastItsDeadline) {
    ServeProcess server(db_, "COULOIR_WEB_READ_DEADLINE=1");
    // A head a line at a time is answered 408 at the deadline, though no line took long.
    RawConnection trickling(server.port());
    auto start = Clock::now();
    trickling.send("GET /api/summary HTTP/1.1\r\n");
    std::string answer;
    while (!trickling.closed() && secondsSince(start) < 5) {
        answer += trickling.receive(200ms);
        trickling.send("X-Slow: 1\r\n");
    }
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 408")) << answer;
    EXPECT_NE(bodyOf(answer).value("error", "").find("Requête trop lente"), std::string::npos);
    EXPECT_GT(secondsSince(start), 0.8);
    EXPECT_LT(secondsSince(start), 3.0);

    // A connection that sends nothing is closed, without an answer.
    RawConnection silent(server.port());
    EXPECT_EQ(silent.receive(3s), "");
    EXPECT_TRUE(silent.closed());

    // A body that stops coming is dropped too, the token notwithstanding.
    RawConnection stalled(server.port());
    start = Clock::now();
    stalled.send("POST /api/operations HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + server.token() +
                 "\r\nContent-Type: multipart/form-data; boundary=limite\r\nContent-Length: 10000000\r\n\r\n" +
                 std::string(1000, 'x'));
    answer = stalled.receive(5s);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 408")) << answer;
    EXPECT_LT(secondsSince(start), 3.0);
}

// A body has a second more per MiB: 4 MiB sent over two seconds, twice the
// head's deadline, are read to the end and answered.
TEST_F(WebLimits, GivesABodyTimeInProportionToItsSize) {
    ServeProcess server(db_, "COULOIR_WEB_READ_DEADLINE=1");
    std::string part = "--limite\r\nContent-Disposition: form-data; name=\"kind\"\r\n\r\nimport-licences\r\n"
                       "--limite\r\nContent-Disposition: form-data; name=\"files\"; filename=\"notes.doc\"\r\n"
                       "Content-Type: text/plain\r\n\r\n";
    std::string end = "\r\n--limite--\r\n";
    std::size_t content = std::size_t{4} << 20;
    RawConnection upload(server.port());
    upload.send("POST /api/operations HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + server.token() +
                "\r\nContent-Type: multipart/form-data; boundary=limite\r\nContent-Length: " +
                std::to_string(part.size() + content + end.size()) + "\r\n\r\n" + part);
    auto start = Clock::now();
    for (std::size_t sent = 0; sent < content; sent += content / 16) {
        ASSERT_TRUE(upload.send(std::string(content / 16, 'z')));
        std::this_thread::sleep_for(125ms);
    }
    upload.send(end);
    std::string answer = upload.receive(5s, "}");
    EXPECT_GT(secondsSince(start), 1.5);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 400")) << answer.substr(0, 200);
    EXPECT_NE(bodyOf(answer).value("error", "").find("Fichier refusé : notes.doc"), std::string::npos);
}

TEST_F(WebLimits, ServesKeptAliveAndPipelinedRequestsOnly) {
    ServeProcess server(db_);
    // Three requests sent at once are answered in order, on a connection that stays open.
    RawConnection pipelined(server.port());
    pipelined.send(request(server.token()) + request(server.token()) + request(server.token()));
    std::string answers;
    for (auto start = Clock::now(); countOf(answers, "\"clubs\"") < 3 && secondsSince(start) < 5;)
        answers += pipelined.receive(100ms);
    EXPECT_EQ(countOf(answers, "HTTP/1.1 200"), 3u) << answers;
    EXPECT_FALSE(pipelined.closed());
    pipelined.send(request(server.token(), "Connection: close\r\n"));
    EXPECT_TRUE(pipelined.receive(5s).starts_with("HTTP/1.1 200"));
    EXPECT_TRUE(pipelined.closed());

    // A refused request's body is never read as the next request.
    std::string smuggled = request(server.token());
    RawConnection refused(server.port());
    refused.send("POST /api/operations HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " +
                 std::to_string(smuggled.size()) + "\r\n\r\n" + smuggled);
    std::string answer = refused.receive(5s);
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 401")) << answer;
    EXPECT_EQ(countOf(answer, "HTTP/1.1 "), 1u) << answer;
    EXPECT_TRUE(refused.closed());
}

TEST_F(WebLimits, RefusesAMalformedReadDeadline) {
    for (const char* value : {"abc", "0", "0.05", "3601", "1.2345", "-1", "1e3"}) {
        try {
            ServeProcess server(db_, std::string("COULOIR_WEB_READ_DEADLINE=") + value);
            ADD_FAILURE() << value << " was accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("COULOIR_WEB_READ_DEADLINE incorrect"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace couloir::test
