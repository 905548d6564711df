#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

namespace quillmere::test {

// A small HTTP server of the tests' own, on 127.0.0.1 at a port the system
// picks. A thread of its own answers each request from a table of paths
// (404 for any other path) until the server is destroyed.
class LoopbackServer {
  public:
    struct Response {
        int status = 200;
        QByteArray body = {};
        QByteArray location = {};  // for redirects
        // How the body goes out: with its length announced, or in chunks
        // ("Transfer-Encoding: chunked") with no length; at once, or in
        // pieces of `pieceSize` bytes with `pause` before each further one.
        bool chunked = false;
        qsizetype pieceSize = 0;
        std::chrono::milliseconds pause{0};
        // When set, only that many bytes of the body go out; then the answer
        // stays unfinished and silent until the client gives up or the
        // server stops.
        std::optional<qsizetype> stallAfter = std::nullopt;
    };

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    quint16 port() const { return port_; }
    // "http://127.0.0.1:PORT" followed by `path`.
    QString url(const QString& path) const;

    void serve(const QByteArray& path, const Response& response);
    void serve(const QByteArray& path, const QByteArray& body) {
        serve(path, Response{200, body, {}});
    }
    // Requests for `path` are read but never answered while the server runs.
    void holdSilently(const QByteArray& path);
    void forget(const QByteArray& path);

    // The paths requested so far, in order.
    QList<QByteArray> requests() const;

  private:
    void run();
    void answer(int connection);
    bool sendBody(int connection, const Response& response);
    void pause(std::chrono::milliseconds duration) const;
    void waitForClose(int connection) const;

    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    QMap<QByteArray, Response> responses_;
    QList<QByteArray> silent_;
    QList<QByteArray> requests_;
    std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on.
quint16 closedLoopbackPort();

}  // namespace quillmere::test
