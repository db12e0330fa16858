// The texts the main window's files share: the window's title and the titles of its
// message boxes.
#pragma once

#include "dialogs/dialog_parts.h"

namespace window_text {
// The window's own title; the active page's file name goes before it.
inline constexpr const char* kWindowTitle = "Rivo800 Editor - Beta 1";
// Warnings and refusals.
inline constexpr const char* kAttention = rivo::dialogs::kAttentionTitle;
// A command or a save that failed: the application's name.
inline constexpr const char* kApplicationTitle = "Rivo800 Edit - Beta1";
}  // namespace window_text
