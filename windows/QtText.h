#pragma once

// The program's texts are UTF-8 std::strings; Qt's widgets take QStrings.

#include <QString>
#include <string>

inline QString ToQString(const std::string& Text) {
    return QString::fromStdString(Text);
}
