#include "platform/ErrorDisplay.h"

#include <iostream>

namespace platform {
namespace {

void WriteToStandardError(const std::string& Message) {
    std::cerr << Message << std::endl;
}

// Constant-initialised, so that the dialogs may put their error box in force while the
// program's static data is still being initialised.
constinit TErrorDisplay CurrentDisplay = WriteToStandardError;

} // namespace

void ShowApplicationError(const std::string& Message) {
    CurrentDisplay(Message);
}

void SetApplicationErrorDisplay(TErrorDisplay Display) {
    CurrentDisplay = Display ? Display : WriteToStandardError;
}

} // namespace platform
