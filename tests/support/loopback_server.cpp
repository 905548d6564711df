#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace quillmere::test {

namespace {

constexpr int kPollMilliseconds = 20;

int boundLoopbackSocket(quint16* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

bool readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, kPollMilliseconds) > 0;
}

QByteArray reasonOf(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        default:
            return "Status";
    }
}

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}

}  // namespace

LoopbackServer::LoopbackServer() {
    listener_ = boundLoopbackSocket(&port_);
    if (listener_ < 0 || ::listen(listener_, 16) != 0) {
        ADD_FAILURE() << "the loopback server cannot listen";
        return;
    }
    thread_ = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

QString LoopbackServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

void LoopbackServer::serve(const QByteArray& path, const Response& response) {
    const std::lock_guard lock(mutex_);
    silent_.removeAll(path);
    responses_[path] = response;
}

void LoopbackServer::holdSilently(const QByteArray& path) {
    const std::lock_guard lock(mutex_);
    responses_.remove(path);
    silent_.append(path);
}

void LoopbackServer::forget(const QByteArray& path) {
    const std::lock_guard lock(mutex_);
    responses_.remove(path);
    silent_.removeAll(path);
}

QList<QByteArray> LoopbackServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackServer::run() {
    while (!stopping_) {
        if (!readable(listener_)) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        answer(connection);
        ::close(connection);
    }
}

void LoopbackServer::answer(int connection) {
    QByteArray request;
    while (!stopping_ && !request.contains("\r\n\r\n")) {
        if (!readable(connection)) continue;
        char buffer[4096];
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, n);
    }
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray path = requestLine.size() >= 2 ? requestLine[1] : QByteArray();

    Response response{404, "<html><body>Not Found</body></html>", {}};
    bool silent = false;
    {
        const std::lock_guard lock(mutex_);
        requests_.append(path);
        silent = silent_.contains(path);
        response = responses_.value(path, response);
    }
    if (silent) {
        waitForClose(connection);
        return;
    }

    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      reasonOf(response.status) + "\r\n";
    if (response.chunked) {
        head += "Transfer-Encoding: chunked\r\n";
    } else {
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    }
    if (!response.location.isEmpty()) head += "Location: " + response.location + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (!sendAll(connection, head) || !sendBody(connection, response)) return;
    if (response.stallAfter) {
        waitForClose(connection);
        return;
    }
    if (response.chunked) sendAll(connection, "0\r\n\r\n");
    ::shutdown(connection, SHUT_WR);
}

bool LoopbackServer::sendBody(int connection, const Response& response) {
    const QByteArray body =
        response.stallAfter ? response.body.left(*response.stallAfter) : response.body;
    const qsizetype pieceSize = response.pieceSize > 0 ? response.pieceSize : body.size();
    for (qsizetype start = 0; start < body.size(); start += pieceSize) {
        if (start > 0) pause(response.pause);
        if (stopping_) return false;
        QByteArray piece = body.mid(start, pieceSize);
        if (response.chunked) {
            piece = QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
        }
        if (!sendAll(connection, piece)) return false;
    }
    return true;
}

void LoopbackServer::pause(std::chrono::milliseconds duration) const {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (!stopping_ && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Keeps the connection open, saying nothing, until the client closes it or
// the server stops.
void LoopbackServer::waitForClose(int connection) const {
    while (!stopping_) {
        char buffer[256];
        if (readable(connection) && ::recv(connection, buffer, sizeof buffer, 0) <= 0) break;
    }
}

quint16 closedLoopbackPort() {
    quint16 port = 0;
    const int fd = boundLoopbackSocket(&port);
    if (fd >= 0) ::close(fd);
    return port;
}

}  // namespace quillmere::test
