// The tool bar's 32 x 32 images: the desktop theme's icon where one fits the command,
// otherwise (and whenever the theme lacks it) a picture drawn here.
#pragma once

#include <QIcon>

enum class ToolGlyph {
    Open, Save, Copy, Paste, DeleteChannels, MoveChannels, GoToChannel, InsertChannel,
    SwapSatellites, DeleteTransponder, OptimiseTransponders, FavouriteUp, FavouriteDown,
    MoveFavourites, ClosePage, Exit
};

// themeName: the freedesktop icon name to prefer, or nullptr to always draw.
QIcon ToolIcon(ToolGlyph glyph, const char* themeName);
// The drawn picture alone (what is used without a theme).
QIcon DrawnToolIcon(ToolGlyph glyph);
