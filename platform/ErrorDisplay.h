#pragma once

// The application's standard error display, for code below the windows that runs from the event
// loop: an error that no handler took is shown to the user here. A program that links the modal
// dialogs shows it in their error box; any other writes it to the standard error stream.

#include <string>

namespace platform {

using TErrorDisplay = void (*)(const std::string& Message);

void ShowApplicationError(const std::string& Message);

// Puts Display in force; nullptr brings back the standard error stream.
void SetApplicationErrorDisplay(TErrorDisplay Display);

} // namespace platform
