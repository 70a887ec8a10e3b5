// How hard a job presses each server it downloads from. A server that
// answers 503 or 429 asks to slow down: its next tries wait (for the
// Retry-After it named, at most the wait limit, or else for a pause that
// doubles with each such answer in a row). Such an answer, or a connection
// refused while others of the job's are open to the server, also leaves it
// no more tries at once than it was still answering. A server that has given
// nothing for kBusyGiveUpMs since a busy answer is taken for out of service:
// its busy answers count as failed tries, without the pauses, so that a job
// ends in a bounded time.
//
// Threads: the workers of a job's pools take turns side by side; the job's
// thread asks askedToSlowDown.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace net {

class ServerPace {
    struct Server;

  public:
    // Busy answers in a row for this long end the pauses.
    static constexpr uint32_t kBusyGiveUpMs = 120000;
    // The first pause after a busy answer that names no Retry-After.
    static constexpr uint32_t kFirstPauseMs = 500;

    // Each server starts with `connections` tries at once.
    explicit ServerPace(int connections);
    ServerPace(const ServerPace&) = delete;
    ServerPace& operator=(const ServerPace&) = delete;

    // One try's place among the tries to its server, from its start to its end.
    class Turn {
      public:
        Turn() = default;
        Turn(Turn&& other) noexcept;
        Turn& operator=(Turn&&) = delete;
        Turn(const Turn&) = delete;
        ~Turn();

        // The server gave what was asked for.
        void Arrived();
        // It answered 503 or 429, with the wait that its Retry-After asks for
        // if any: true when the try is to be made again without counting as
        // one of the segment's, false once the server is taken for out of service.
        bool Busy(std::optional<uint32_t> retryAfterMs);
        // Its connection was refused, reset or closed before any answer.
        void Refused();

      private:
        friend class ServerPace;
        Turn(ServerPace* pace, Server* server) : pace_(pace), server_(server) {}
        ServerPace* pace_ = nullptr;
        Server* server_ = nullptr;  // none for a local file
    };

    // Waits until a try may go to the server of `address`, which an empty
    // turn stands for when it is no web address. Nothing when transfers are
    // stopped meanwhile (net/transfer_stop.h).
    std::optional<Turn> Take(const std::string& address);

    // Whether a server has asked to slow down with a 503 or 429 answer; a
    // refused connection only makes its server's pace slower.
    bool askedToSlowDown() const { return askedToSlowDown_; }

  private:
    struct Server {
        int allowed;   // tries at once
        int open = 0;  // tries under way
        int busyInARow = 0;
        ULONGLONG pausedUntil = 0;
        ULONGLONG busySince = 0;  // 0: something arrived since its last busy answer
    };

    // The server asked to slow down: it gets fewer tries at once and a pause; under lock_.
    void SlowDown(Server& server, uint32_t pauseMs);

    const int connections_;
    std::mutex lock_;
    std::condition_variable turnFree_;
    std::map<std::string, Server> servers_;  // by host and port, in lower case
    std::atomic<bool> askedToSlowDown_{false};
};

}  // namespace net
