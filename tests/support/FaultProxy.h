#pragma once
// A network between the program and the test server that fails on cue: a TCP proxy on
// loopback that forwards everything until it is armed, then loses the connection at the
// client's next COMMIT, either before the server got it or just after the server
// answered it (the reply that would have told the program the save happened).
#include "db/Connection.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class FaultProxy {
public:
    enum class Fault {
        None,
        LoseCommit, // the COMMIT never reaches the server
        LoseCommitReply, // the server commits; its reply never reaches the program
        // As LoseCommitReply, and then the server cannot be reached until restore().
        LoseCommitReplyAndServer,
    };

    // Listens on a free loopback port and forwards to `server`.
    explicit FaultProxy(const ConnectionSettings& server);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    // `server` with the proxy's host and port: the settings the program connects with.
    ConnectionSettings settings() const;
    // The fault happens once, at the next COMMIT of any connection through the proxy.
    void arm(Fault fault)
    {
        m_fault = fault;
        m_fired = false;
    }
    bool fired() const { return m_fired; }
    // Connections go through again after LoseCommitReplyAndServer.
    void restore() { m_down = false; }

private:
    void acceptLoop();
    void pump(int client);

    ConnectionSettings m_server;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<Fault> m_fault{Fault::None};
    std::atomic<bool> m_fired{false};
    std::atomic<bool> m_down{false}; // new connections are closed at once
    std::thread m_acceptor;
    std::mutex m_mutex;
    std::vector<std::thread> m_pumps;
};
