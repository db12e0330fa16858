// Names in images are bytes in Windows-1252. These two functions are the one place where
// bytes become text and back. The five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control of the same value, so every byte string has
// exactly one text form and converts back to the same bytes.
#pragma once

#include <optional>
#include <string>

namespace rivo {

// Bytes -> UTF-8 text.
std::string Cp1252ToUtf8(const std::string& bytes);
// UTF-8 text -> bytes; std::nullopt when the text holds a character Windows-1252
// cannot hold (or is not valid UTF-8).
std::optional<std::string> Utf8ToCp1252(const std::string& text);

}  // namespace rivo
