#include "resources/Pictures.h"

#include <QString>
#include <stdexcept>
#include <string>

// Registration must be called from the global namespace.
static void RegisterResources() {
    Q_INIT_RESOURCE(resources);
}

namespace resources {

QPixmap Picture(std::string_view FileName) {
    static const bool Registered = (RegisterResources(), true);
    (void)Registered;
    const std::string Path = ":/images/" + std::string(FileName);
    QPixmap Result(QString::fromStdString(Path));
    if (Result.isNull())
        throw std::runtime_error("The program holds no picture " + std::string(FileName) + ".");
    return Result;
}

} // namespace resources
