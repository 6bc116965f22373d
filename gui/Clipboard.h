// Pasting the clipboard's text without formatting into an edit control.
#pragma once
#include "util/Win.h"

namespace gui {

// Replaces the edit control's selection with the clipboard's plain text:
// the text is pasted into a hidden, unwrapped scratch memo, read back as
// plain text and handed to the target with EM_REPLACESEL (undoable). Nothing
// happens when the clipboard holds no text.
void PastePlainText(HWND edit);

}  // namespace gui
