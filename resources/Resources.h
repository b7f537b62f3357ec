// Names of the resources embedded in the program.
#pragma once

#include <QByteArray>
#include <QString>

namespace Resources {

// The splash picture, a baseline JPEG of 382 by 273 pixels.
QString SplashPath();
// The About box picture, an 8-bit BMP of 215 by 110 pixels.
QString InfoPath();
// The drive badge of the BAM dialog, a PNG of 150 by 27 pixels: the 1541-II's, or that of
// the 1571 or the 1581.
QString BadgePath(int Drive = 1541);
// The bytes stored under a resource path; empty when there is no such resource.
QByteArray Load(const QString& Path);

} // namespace Resources
