// The program's icon: the window's icon and the one in the notification
// area: a key cap with the model's initial, drawn at the usual sizes.
#pragma once

#include <QIcon>

namespace shell {

QIcon programIcon(int deviceType);

} // namespace shell
