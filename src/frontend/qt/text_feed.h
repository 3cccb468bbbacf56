#pragma once

#include <QString>
#include <memory>

namespace talu::qt {

/// The text feed: a WebSocket server on 127.0.0.1 only that sends every reader connected each
/// page's text as one plain text message, as the browser pages dictionary tools use expect.
/// Whatever a reader sends is ignored. A build without Qt WebSockets keeps this class and says
/// why the feed cannot start. Interface thread only.
class TextFeed {
  public:
    TextFeed();
    ~TextFeed();
    TextFeed(const TextFeed&) = delete;
    TextFeed& operator=(const TextFeed&) = delete;

    /// Listens on 127.0.0.1 at port (0: any free port), closing a feed on another port first;
    /// false with problem (in the language) when it cannot.
    bool Start(int port, int langMode, QString& problem);
    /// Closes the feed and every connection.
    void Stop();
    bool Listening() const;
    /// The port listened on; 0 when not listening.
    int Port() const;
    /// Sends message to every reader connected.
    void Send(const QString& message);

  private:
    struct Server;
    std::unique_ptr<Server> server_;
};

}  // namespace talu::qt
