#include "frontend/qt/text_feed.h"

#include <QHostAddress>
#include <QWebSocket>
#include <QWebSocketServer>
#include <vector>

#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

/// Enough for every dictionary tool a reader runs beside the window; more would only let a
/// stray program hold sockets open.
constexpr std::size_t kMaxReaders = 16;
/// Nothing sent to the feed is read; what a reader's page may send (a greeting, a ping) is
/// ignored, but a reader that sends more than this at once is closed rather than buffered.
constexpr quint64 kMaxIncoming = 64 * 1024;

}  // namespace

struct TextFeed::Server {
    QWebSocketServer server{QStringLiteral("talu"), QWebSocketServer::NonSecureMode};
    std::vector<QWebSocket*> readers;

    void Accept() {
        while (QWebSocket* reader = server.nextPendingConnection()) {
            if (readers.size() >= kMaxReaders) {
                reader->close(QWebSocketProtocol::CloseCodeTooMuchData);
                reader->deleteLater();
                continue;
            }
            reader->setMaxAllowedIncomingFrameSize(kMaxIncoming);
            reader->setMaxAllowedIncomingMessageSize(kMaxIncoming);
            readers.push_back(reader);
            QObject::connect(reader, &QWebSocket::disconnected, &server, [this, reader] {
                std::erase(readers, reader);
                reader->deleteLater();
            });
        }
    }

    ~Server() {
        for (QWebSocket* reader : readers) {
            reader->disconnect(&server);
            reader->abort();
            delete reader;
        }
    }
};

TextFeed::TextFeed() = default;

TextFeed::~TextFeed() = default;

bool TextFeed::Start(int port, int langMode, QString& problem) {
    if (server_ && (port == 0 || server_->server.serverPort() == port)) {
        return true;
    }
    Stop();
    auto server = std::make_unique<Server>();
    if (!server->server.listen(QHostAddress(QHostAddress::LocalHost), static_cast<quint16>(port))) {
        problem = Pick(langMode, "テキスト配信をポート %1 で開けません: %2",
                       "The text feed cannot listen on port %1: %2")
                      .arg(port)
                      .arg(server->server.errorString());
        return false;
    }
    Server* raw = server.get();
    QObject::connect(&raw->server, &QWebSocketServer::newConnection, &raw->server,
                     [raw] { raw->Accept(); });
    server_ = std::move(server);
    return true;
}

void TextFeed::Stop() {
    server_.reset();
}

bool TextFeed::Listening() const {
    return server_ != nullptr;
}

int TextFeed::Port() const {
    return server_ ? server_->server.serverPort() : 0;
}

void TextFeed::Send(const QString& message) {
    if (!server_) {
        return;
    }
    for (QWebSocket* reader : server_->readers) {
        reader->sendTextMessage(message);
    }
}

}  // namespace talu::qt
