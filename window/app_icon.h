// The program's icon, drawn from the same SVG file that is installed for the
// desktop, at the sizes window systems ask for.
#pragma once

#include <QIcon>

[[nodiscard]] QIcon appIcon();
