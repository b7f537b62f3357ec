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

QString BadgePath() {
    return QStringLiteral(":/badge.png");
}

QByteArray Load(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return {};
    return File.readAll();
}

} // namespace Resources
