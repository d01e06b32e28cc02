#pragma once

// What a user reads when the chronograph's port cannot be opened or goes away: the port's own
// message, the system's reason, and what to do about it, in the user's language.

#include "text/UTranslator.h"

#include <cstdint>
#include <string>

std::string ExplainOpenFailure(const std::string& PortMessage, std::int32_t SystemCode,
                               const std::string& PortName, const TTranslator& Translator,
                               int Language);

std::string ExplainConnectionLost(const std::string& PortMessage, std::int32_t SystemCode,
                                  const std::string& PortName, const TTranslator& Translator,
                                  int Language);
