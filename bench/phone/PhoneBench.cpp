// The live read-out shared with 32 phones on loopback, against sharing off, in one run: a burst
// of chronograph records received as the window does (the port's events, the receiver, the
// series, the library) with the throughput ratio and the shots lost; then shots one at a time
// with the delay from each shot's arrival to its read-out at every phone.

#include "app/UPhoneSharing.h"
#include "bench/BenchMain.h"
#include "bench/ChronographBurst.h"
#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "platform/PseudoTerminal.h"
#include "serial/CPort.h"
#include "series/ShotReceiver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QWebSocket>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono;
using TClock = steady_clock;

constexpr int Phones = 32;
constexpr std::size_t BurstRecords = 20000;
constexpr int TimedShots = 300;
constexpr milliseconds Limit{120000};

// The shot count of a read-out, from its figures.
std::size_t CountOf(const QString& Message) {
    const qsizetype At = Message.indexOf(QLatin1String("\"count\":\""));
    return At < 0 ? 0 : Message.mid(At + 9, 8).section(QLatin1Char('"'), 0, 0).toULongLong();
}

bool RunUntil(const std::function<bool()>& Done) {
    const auto End = TClock::now() + Limit;
    while (!Done() && TClock::now() < End)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return Done();
}

// The phones, each a WebSocket in a thread of their own: when each first heard each count. They
// join one after another, as phones on a range do; the server lets one address open only a few
// connections at once.
class TPhones {
public:
    TPhones(const QString& Url, const TPhoneSharing& Sharing) : FHeard(Phones) {
        FContext.moveToThread(&FThread);
        FThread.start();
        for (int i = 0; i < Phones; ++i) {
            QMetaObject::invokeMethod(&FContext, [this, Url, i] { Open(Url, i); });
            RunUntil([&Sharing, i] { return Sharing.Phones() == i + 1; });
        }
    }
    ~TPhones() {
        QMetaObject::invokeMethod(
            &FContext, [this] { FSockets.clear(); }, Qt::BlockingQueuedConnection);
        FThread.quit();
        FThread.wait();
    }
    // Phones that heard Count.
    int Heard(std::size_t Count) {
        const std::lock_guard Lock(FMutex);
        return static_cast<int>(std::count_if(
            FHeard.begin(), FHeard.end(), [Count](const auto& H) { return H.contains(Count); }));
    }
    TClock::time_point HeardAt(int Phone, std::size_t Count) {
        const std::lock_guard Lock(FMutex);
        return FHeard[Phone].at(Count);
    }

private:
    void Open(const QString& Url, int Phone) {
        auto Socket = std::make_unique<QWebSocket>();
        QObject::connect(Socket.get(), &QWebSocket::textMessageReceived, &FContext,
                         [this, Phone](const QString& Message) {
                             const auto Now = TClock::now();
                             const std::lock_guard Lock(FMutex);
                             FHeard[Phone].try_emplace(CountOf(Message), Now);
                         });
        Socket->open(QUrl(Url));
        FSockets.push_back(std::move(Socket));
    }

    QThread FThread;
    QObject FContext;
    std::vector<std::unique_ptr<QWebSocket>> FSockets;
    std::mutex FMutex;
    std::vector<std::map<std::size_t, TClock::time_point>> FHeard;
};

// The series with its library and, while sharing, the phones' read-out: the window's own parts.
struct TRecording {
    explicit TRecording(const std::string& Library)
        : Recorder(Series, std::make_unique<TSeriesStore>(Library)) {
        Settings.LoadPhoneListening(0, "127.0.0.1");
        Series.OnChange = [this](TSeriesChange, std::size_t) { Sharing.Follow(); };
    }
    QString LiveUrl() const {
        QString Url = QString::fromStdString(Sharing.Addresses().front()) + QStringLiteral("live");
        return Url.replace(QStringLiteral("http://"), QStringLiteral("ws://"));
    }

    TSeries Series;
    TDisplaySettings Settings{Series};
    TPhoneSharing Sharing{Series, Settings};
    TSeriesRecorder Recorder;
    TShotReceiver Receiver{Series};
};

// Seconds to receive and keep the burst.
double ReceiveBurst(TRecording& Recording) {
    platform::TPseudoTerminal Device;
    TComPort Port;
    Port.SetPort(Device.SlavePath());
    Port.OpenPort();
    Port.OnRxChar = [&](QObject*, int Bytes) {
        Recording.Receiver.ReceiveText(Port.ReadText(Bytes));
        Recording.Recorder.ShotsReceived();
    };
    const auto Start = TClock::now();
    std::thread Chronograph([&Device] { bench::SendBurst(Device, BurstRecords, 5); });
    RunUntil([&] { return Recording.Series.Count() >= BurstRecords; });
    Recording.Recorder.Flush();
    const auto End = TClock::now();
    Chronograph.join();
    return duration<double>(End - Start).count();
}

std::filesystem::path BenchFolder() {
    const auto Folder =
        std::filesystem::temp_directory_path() /
        ("tarvex-phone-bench-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(Folder);
    return Folder;
}

void BM_BurstWithPhonesAgainstWithout(benchmark::State& State) {
    const auto Folder = BenchFolder();
    for (auto _ : State) {
        TRecording Off((Folder / "off.db").string());
        const double OffSeconds = ReceiveBurst(Off);
        TRecording On((Folder / "on.db").string());
        On.Sharing.StartSharing();
        TPhones Listeners(On.LiveUrl(), On.Sharing);
        const double OnSeconds = ReceiveBurst(On);
        RunUntil([&] { return Listeners.Heard(BurstRecords) == Phones; });
        State.counters["records_per_s_sharing_off"] = BurstRecords / OffSeconds;
        State.counters["records_per_s_32_phones"] = BurstRecords / OnSeconds;
        State.counters["throughput_ratio"] = OffSeconds / OnSeconds;
        State.counters["lost_sharing_off"] =
            static_cast<double>(BurstRecords - Off.Recorder.Committed());
        State.counters["lost_32_phones"] =
            static_cast<double>(BurstRecords - On.Recorder.Committed());
        State.counters["phones_with_last_shot"] = Listeners.Heard(BurstRecords);
    }
    std::filesystem::remove_all(Folder);
}

// A shot every 20 ms, faster than any air gun, each timed from its arrival to every phone.
void BM_ShotToPhoneDelay(benchmark::State& State) {
    const auto Folder = BenchFolder();
    for (auto _ : State) {
        TRecording Recording((Folder / "delay.db").string());
        Recording.Sharing.StartSharing();
        TPhones Listeners(Recording.LiveUrl(), Recording.Sharing);
        std::vector<double> Delays;
        for (std::size_t Shot = 1; Shot <= TimedShots; ++Shot) {
            const auto Arrived = TClock::now();
            Recording.Receiver.ReceiveText("175.2;m/s\r\n");
            Recording.Recorder.ShotsReceived();
            RunUntil([&] { return Listeners.Heard(Shot) == Phones; });
            for (int Phone = 0; Phone < Phones; ++Phone)
                Delays.push_back(
                    duration<double, std::milli>(Listeners.HeardAt(Phone, Shot) - Arrived).count());
            RunUntil([&] { return TClock::now() >= Arrived + milliseconds(20); });
        }
        std::sort(Delays.begin(), Delays.end());
        State.counters["delay_p50_ms"] = Delays[Delays.size() / 2];
        State.counters["delay_p99_ms"] = Delays[Delays.size() * 99 / 100];
        State.counters["delay_max_ms"] = Delays.back();
    }
    std::filesystem::remove_all(Folder);
}

BENCHMARK(BM_BurstWithPhonesAgainstWithout)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ShotToPhoneDelay)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithApplication<QCoreApplication>(argc, argv);
}
