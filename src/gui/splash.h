#pragma once
// The start-up picture: the program's name over a small circuit.
#include <QPixmap>

namespace qv::gui {

QPixmap splashPicture();

} // namespace qv::gui
