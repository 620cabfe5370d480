#pragma once

#include <QIcon>

#include <filesystem>

namespace quillet {

// The application's icon for its windows: org.quillet.Quillet from the desktop's icon theme, as
// the desktop entry names it, else the PNG renders that come with the program in
// <resources>/../icons/hicolor/<N>x<N>/apps (share/icons beside share/quillet in the build tree,
// a bundle and an installed prefix alike). A theme icon that draws nothing (an SVG where Qt has
// no SVG support) counts as none.
QIcon applicationIcon(const std::filesystem::path& resourceDirectory);

}  // namespace quillet
