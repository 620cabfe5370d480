#include "gui/quickcreate/QuickCreatePanelStyle.h"

#include "gui/style/AppStyle.h"

namespace quillet::panelstyle {

QFont caption2Font() { return appstyle::appFont(10.5, QFont::Normal); }

}  // namespace quillet::panelstyle
