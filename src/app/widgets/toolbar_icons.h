#pragma once
// The toolbar's pictures and the product picture, drawn by the program itself on
// transparent pixmaps: 16 x 16 for the nine toolbar buttons, 48 x 48 for the emblem.

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace tracewell::app {

inline constexpr int kToolbarIconSize = 16;
inline constexpr int kProductPictureSize = 48;

// The picture of a toolbar button (command::kStart ... command::kHelp); an empty
// icon for any other command.
QIcon ToolbarIcon(int commandId);

QPixmap ProductPicture();
// The product picture as the program's icon, `size` pixels square (the desktop's
// usual sizes are 16 to 256), drawn without a display.
QImage ProductIcon(int size);
// The icon in every size the desktop asks for.
QIcon ProductIcons();

inline constexpr int kProductIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace tracewell::app
