#pragma once

#include <QString>

namespace tessarin {

// The text with every "http://" removed: exact case, left to right, in one
// pass, so text that comes together where one was removed stays.
QString WithoutHttp(QString text);

} // namespace tessarin
