// A program that uses the port component alone: it opens the port named on its command line and
// tells how that went. The check beside it looks at the libraries such a program loads.

#include "serial/CPort.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: port_program PORT\n";
        return 2;
    }
    TComPort Port;
    Port.SetPort(argv[1]);
    try {
        Port.OpenPort();
    } catch (const EComPort& Error) {
        std::cout << Error.what() << '\n';
        return 1;
    }
    std::cout << "open\n";
    return 0;
}
