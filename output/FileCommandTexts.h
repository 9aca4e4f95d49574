#pragma once

namespace varnoset {

// The messages the file, clipboard and edit commands show themselves.
inline constexpr const char* kUnknownFileType = "Can Not read file type";
inline constexpr const char* kNoPictureOnClipboard = "There is no Picture on the Clipboard";
inline constexpr const char* kEditorNotStarted = "Could Not start the BMP viewer !";

}  // namespace varnoset
