#pragma once

// A disk of its own for a test folder: a small tmpfs, where the test may mount one (as root),
// which fills up at 256 KiB and can be made read-only.

#include <cstdlib>
#include <string>

namespace tests {

class TSmallDisk {
public:
    explicit TSmallDisk(const std::string& Folder) : FFolder(Folder) {
        FMounted = Run("mount -t tmpfs -o size=256k tmpfs '" + Folder + "' 2>/dev/null");
    }
    ~TSmallDisk() {
        if (FMounted)
            Run("umount -l '" + FFolder + "'");
    }
    TSmallDisk(const TSmallDisk&) = delete;
    TSmallDisk& operator=(const TSmallDisk&) = delete;

    bool Mounted() const { return FMounted; }
    // Whether the disk could be made read-only.
    bool MakeReadOnly() { return FMounted && Run("mount -o remount,ro '" + FFolder + "'"); }

private:
    static bool Run(const std::string& Command) { return std::system(Command.c_str()) == 0; }

    std::string FFolder;
    bool FMounted = false;
};

} // namespace tests
