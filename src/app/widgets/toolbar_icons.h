#pragma once
// The toolbar's pictures and the product picture, drawn by the program itself on
// transparent pixmaps: 16 x 16 for the nine toolbar buttons, 48 x 48 for the emblem.

#include <QIcon>
#include <QPixmap>

namespace tracewell::app {

inline constexpr int kToolbarIconSize = 16;
inline constexpr int kProductPictureSize = 48;

// The picture of a toolbar button (command::kStart ... command::kHelp); an empty
// icon for any other command.
QIcon ToolbarIcon(int commandId);

QPixmap ProductPicture();

}  // namespace tracewell::app
