#pragma once

#include <QFont>

namespace quillet::panelstyle {

// The smallest step of the type scale, below the shared ones (gui/style/AppStyle.h): only the
// panel's footer names where files go in it.
QFont caption2Font();

}  // namespace quillet::panelstyle
