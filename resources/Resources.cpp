// Access to the embedded resources.
#include "Resources.h"

#include <QFile>

namespace Resources {

QString SplashPath() {
    return QStringLiteral(":/splash.jpg");
}

QString InfoPath() {
    return QStringLiteral(":/info.bmp");
}

QString BadgePath(int Drive) {
    if (Drive == 1571 || Drive == 1581) return QString(":/badge%1.png").arg(Drive);
    return QStringLiteral(":/badge.png");
}

QByteArray Load(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return {};
    return File.readAll();
}

} // namespace Resources
