#include "app/course_modules.h"

#include "platform/stored_resources.h"

#include <QFile>

namespace app {

bool ResToFile(int id, const QString& typeName, const QString& path)
{
    const auto bytes = platform::findStoredResource(typeName, id);
    if (!bytes)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const auto size = static_cast<qint64>(bytes->size());
    if (file.write(reinterpret_cast<const char*>(bytes->data()), size) != size || !file.flush()) {
        file.remove();
        return false;
    }
    return true;
}

} // namespace app
