#pragma once

// What a user reads when the chronograph's port cannot be opened or goes away: what happened and
// what to do about it, in the user's language, then the port's own message and the system's
// reason on the last line.

#include "series/USeries.h"

#include <cstdint>
#include <string>

// The port's message and the system's reason on one line, as the log keeps them.
std::string TechnicalDetail(const std::string& PortMessage, std::int32_t SystemCode);

std::string ExplainOpenFailure(const std::string& PortMessage, std::int32_t SystemCode,
                               const std::string& PortName, const TTranslate& Translate);

std::string ExplainConnectionLost(const std::string& PortMessage, std::int32_t SystemCode,
                                  const std::string& PortName, const TTranslate& Translate);
