#pragma once

// Helpers of the tests that touch files and terminals: a temporary folder removed afterwards,
// bounded waits for a condition, and reading a descriptor until enough has arrived.

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <random>
#include <string>
#include <unistd.h>

namespace tests {

class TTempFolder {
public:
    TTempFolder() {
        static std::atomic<int> Counter{0};
        FPath = std::filesystem::temp_directory_path() /
                ("tarvex-test-" + std::to_string(::getpid()) + "-" + std::to_string(++Counter) +
                 "-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(FPath);
    }
    ~TTempFolder() {
        std::error_code Ignored;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, Ignored);
        std::filesystem::remove_all(FPath, Ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::string File(const std::string& Name) const { return (FPath / Name).string(); }

private:
    std::filesystem::path FPath;
};

inline std::string ReadFileText(const std::string& Path) {
    std::ifstream Stream(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>()};
}

inline void WriteFileText(const std::string& Path, const std::string& Text) {
    std::ofstream(Path, std::ios::binary) << Text;
}

// True as soon as Condition holds; false when Timeout passed first.
inline bool WaitUntil(const std::function<bool()>& Condition,
                      std::chrono::milliseconds Timeout = std::chrono::seconds(5)) {
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() >= Deadline)
            return false;
        ::poll(nullptr, 0, 1);
    }
    return true;
}

// Reads Fd until Enough says the text is complete, the other side hangs up or Timeout passes.
inline std::string ReadUntil(int Fd, const std::function<bool(const std::string&)>& Enough,
                             std::chrono::milliseconds Timeout = std::chrono::seconds(5)) {
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    std::string Text;
    while (!Enough(Text)) {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
            Deadline - std::chrono::steady_clock::now());
        pollfd Poll{Fd, POLLIN, 0};
        if (Left.count() <= 0 || ::poll(&Poll, 1, static_cast<int>(Left.count())) <= 0)
            break;
        char Buffer[4096];
        const ssize_t Count = ::read(Fd, Buffer, sizeof Buffer);
        if (Count == 0 || (Count < 0 && errno != EAGAIN && errno != EINTR))
            break;
        if (Count > 0)
            Text.append(Buffer, static_cast<std::size_t>(Count));
    }
    return Text;
}

inline std::function<bool(const std::string&)> AtLeastBytes(std::size_t Count) {
    return [Count](const std::string& Text) { return Text.size() >= Count; };
}

} // namespace tests
