#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets or unsets one environment variable for one test and restores it afterwards, so that no
// test depends on the machine's home folder or its other variables.
class TScopedEnvironment {
public:
    // A missing Value unsets the variable.
    TScopedEnvironment(std::string Name, const std::optional<std::string>& Value)
        : FName(std::move(Name)) {
        if (const char* Saved = std::getenv(FName.c_str()))
            FSaved = Saved;
        Apply(Value);
    }
    ~TScopedEnvironment() { Apply(FSaved); }
    TScopedEnvironment(const TScopedEnvironment&) = delete;
    TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

private:
    void Apply(const std::optional<std::string>& Value) const {
        if (Value)
            ::setenv(FName.c_str(), Value->c_str(), 1);
        else
            ::unsetenv(FName.c_str());
    }

    std::string FName;
    std::optional<std::string> FSaved;
};
