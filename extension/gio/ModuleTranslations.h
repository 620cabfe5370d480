#pragma once

namespace quillet {

// Points the module's texts at the catalogues of the Quillet+ it belongs to: the prefix is the
// nearest folder above the module's own file that holds share/quillet (/usr for the package,
// the build tree for a built module), its catalogues in share/locale. The file manager's process
// keeps its own language and locale; only our text domain is bound.
void bindModuleTranslations();

}  // namespace quillet
