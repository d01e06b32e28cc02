// Calls of worker threads run on the user-interface thread: the thread that runs these tests.

#include "platform/ThreadSync.h"

#include "tests/platform/PlatformTestSupport.h"

#include <QCoreApplication>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <thread>

using platform::Synchronize;
using platform::WaitSynchronizing;

namespace {

// A worker thread that runs Work and tells the waiters when it has ended.
class TWorker {
public:
    template <typename TWork>
    explicit TWorker(TWork Work)
        : FThread([this, Work] {
              Work();
              Ended = true;
              platform::NotifySynchronizeWaiters();
          }) {}
    ~TWorker() { FThread.join(); }

    std::atomic<bool> Ended{false};

private:
    std::thread FThread;
};

TEST(ThreadSync, AWorkersCallsRunOnTheUserInterfaceThreadWhileItWaits) {
    ASSERT_TRUE(platform::IsUserInterfaceThread());
    int Ran = 0;
    bool OnUserInterfaceThread = true;
    std::vector<int> SeenByWorker;
    TWorker Worker([&] {
        for (int Call = 1; Call <= 3; ++Call) {
            Synchronize([&] {
                OnUserInterfaceThread = OnUserInterfaceThread && platform::IsUserInterfaceThread();
                ++Ran;
            });
            SeenByWorker.push_back(Ran);
        }
    });
    // A wait that did not run the queued calls would never see the worker end.
    WaitSynchronizing([&] { return Worker.Ended.load(); });
    EXPECT_EQ(Ran, 3);
    EXPECT_TRUE(OnUserInterfaceThread);
    EXPECT_EQ(SeenByWorker, (std::vector<int>{1, 2, 3}));
}

TEST(ThreadSync, AnExceptionOfTheCallIsRaisedInTheWorker) {
    std::string Caught;
    TWorker Worker([&] {
        try {
            Synchronize([] { throw std::runtime_error("refused on the user-interface thread"); });
        } catch (const std::runtime_error& Error) {
            Caught = Error.what();
        }
    });
    WaitSynchronizing([&] { return Worker.Ended.load(); });
    EXPECT_EQ(Caught, "refused on the user-interface thread");
}

TEST(ThreadSync, OnTheUserInterfaceThreadTheCallRunsAtOnce) {
    bool Ran = false;
    Synchronize([&] { Ran = true; });
    EXPECT_TRUE(Ran);
    EXPECT_FALSE(platform::CheckSynchronize());
}

// With an application, the worker wakes the event loop, which runs the call without anyone
// waiting for the worker.
TEST(ThreadSync, TheEventLoopRunsAWorkersCall) {
    int Argc = 1;
    char Name[] = "platform_tests";
    char* Argv[] = {Name, nullptr};
    QCoreApplication Application(Argc, Argv);
    bool Ran = false;
    TWorker Worker([&] { Synchronize([&] { Ran = true; }); });
    EXPECT_TRUE(tests::WaitUntil([&] {
        QCoreApplication::processEvents();
        return Worker.Ended.load();
    }));
    EXPECT_TRUE(Ran);
}

} // namespace
