#pragma once

#include "imaging/Picture.h"

namespace varnoset {

class Clipboard;

// Puts the picture on the clipboard (emptied first) and reads it back in the display's format,
// so that the clipboard holds the unprocessed capture and the caller continues with exactly what
// it holds. Throws varnoset::Error("Unsupported clipboard format") when no picture comes back.
Picture ClipboardRoundTrip(Clipboard& clipboard, const Picture& picture);

}  // namespace varnoset
