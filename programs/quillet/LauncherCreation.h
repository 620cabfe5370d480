#pragma once

#include <optional>

namespace quillet::cli {

// "quillet create TYPE FOLDER" carried out in the launcher, without any toolkit library: the
// exit status. Nothing when the words are another form (or a usage error) or when the run is
// sandboxed and no saved grant covers the folder: only the application program can ask for
// access, so the launcher starts it for those.
std::optional<int> createInFolderWithoutToolkit(int argc, char** argv);

}  // namespace quillet::cli
