#pragma once

// The pictures compiled into the program (the files under resources/images).

#include <QPixmap>
#include <string_view>

namespace resources {

// The picture of the given file name, such as "flag_cz.png". Raises std::runtime_error when the
// program holds no such picture.
QPixmap Picture(std::string_view FileName);

} // namespace resources
