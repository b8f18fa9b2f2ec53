#pragma once

#include <array>
#include <cstddef>

#include <QIcon>

#include "config/resource_record.h"
#include "server/server_state.h"

namespace vantor {

// The program's pictures, drawn as SVG and compiled into the views library.

// How many pictures the tree's icon strip has (ImageIndex 0 to 6).
inline constexpr std::size_t StripImageCount = 7;

// One picture of the tree's icon strip (16 x 16 nominal, crisp at any scale). An index outside
// the strip gives a null icon.
QIcon StripIcon(ImageIndex index);
// The whole strip, by index, for models that hand out a picture per row.
std::array<QIcon, StripImageCount> StripIcons();
// The program's own icon (window, About box).
QIcon ProgramIcon();
// The status bar's picture for a server state (an out-of-range state gets NotResponding's).
QIcon ServerStateIcon(ServerState state);

}  // namespace vantor
