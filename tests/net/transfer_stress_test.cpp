// Many GETs side by side, as a job's pools and its keys run them, against a
// server that closes each connection after its answer, answers some with 503,
// and gets https addresses it cannot answer. Every body must arrive whole and
// every other GET fail, and the internet root is closed at the end while the
// abandoned handshakes may still be inside it. The program runs under
// WINEDEBUG=warn+heap (CMakeLists.txt): ctest fails the test on any heap
// warning or unhandled exception the program's standard error shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "net/body_fetch.h"
#include "net/internet_root.h"
#include "tests/net/loopback_socket.h"
#include "tests/net/made_segments.h"
#include "tests/net/served_test.h"

namespace {

using test_app::TinyName;
using test_app::TinySegment;

constexpr int kGets = 2000;

class TransferStress : public test_app::ServedTest {};

TEST_F(TransferStress, ManyGetsSideBySideEachEndAsTheirServerAnswers) {
    test_app::LoopbackSocket refusing;
    const std::string refused =
        "http://127.0.0.1:" + std::to_string(refusing.BindRefusingPort()) + "/";
    std::vector<std::string> addresses, expected;
    for (int i = 0; i < kGets; ++i) {
        const std::string name = TinyName(i);
        // Each waits the whole wait limit: a few are enough.
        if (i % 32 == 3) {  // a plain server that a handshake gets no answer from
            addresses.push_back("https" + Url("/close/made/" + name).substr(4));
            expected.push_back("failed");
            continue;
        }
        switch (i % 8) {
            case 1:  // four requests, each on a connection of its own
            case 4:
            case 7:
                addresses.push_back(Url("/redirect3-" + name + "/made/" + name));
                expected.push_back("arrived whole");
                break;
            case 2:  // no answer at all: the quickest turn of connect, request and close
                addresses.push_back(refused + name);
                expected.push_back("failed");
                break;
            case 5:
                addresses.push_back(Url("/overload3600-" + name + "/made/" + name));
                expected.push_back("failed: HTTP 503 Service Unavailable");
                break;
            case 6:  // a connection that stays open for the next GET
                addresses.push_back(Url("/plain/made/" + name));
                expected.push_back("arrived whole");
                break;
            default:
                addresses.push_back(Url("/close/made/" + name));
                expected.push_back("arrived whole");
                break;
        }
    }
    const std::vector<net::FetchedBody> bodies = net::FetchBodies(addresses, 1024, [] {});
    net::CloseInternetRoot();
    ASSERT_EQ(addresses.size(), bodies.size());
    for (int i = 0; i < kGets; ++i) {
        std::string outcome = "failed";
        if (bodies[i].arrived) {
            outcome = bodies[i].bytes == TinySegment(TinyName(i)) ? "arrived whole"
                                                                  : "arrived other bytes";
        } else if (expected[i] != "failed") {
            outcome += ": " + bodies[i].failure;
        }
        EXPECT_EQ(expected[i], outcome) << addresses[i];
    }
}

}  // namespace
