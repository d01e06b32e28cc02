// A recording program as the window is one: chronograph lines from a terminal become shots of a
// series recorded into the library, and the library (or, while another program holds it, the
// journal beside it) has every shot before it is "shown". It prints "resumed N" at start and
// "shown N" whenever its series is shown with N shots, until a test kills it.
//
//   recording_child LIBRARY TERMINAL

#include "library/SeriesRecorder.h"
#include "library/SeriesStore.h"
#include "series/ShotReceiver.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: recording_child LIBRARY TERMINAL\n";
        return 2;
    }
    TSeries Series;
    TSeriesRecorder Recorder(Series, std::make_unique<TSeriesStore>(argv[1]));
    Recorder.Failed = [](const std::string& Reason) {
        std::cerr << Reason << "\n";
        std::exit(3);
    };
    Recorder.ResumeLastSeries();
    std::cout << "resumed " << Series.Count() << std::endl;
    TShotReceiver Receiver(Series);
    std::ifstream Terminal(argv[2]);
    for (std::string Line; std::getline(Terminal, Line);) {
        Receiver.ReceiveText(Line + "\n");
        Recorder.ShotsReceived();
        // A burst ends where the terminal has nothing more waiting: the display shows it then.
        if (Terminal.rdbuf()->in_avail() > 0)
            continue;
        Recorder.FlushForDisplay();
        std::cout << "shown " << Series.Count() << std::endl;
    }
    return 0;
}
