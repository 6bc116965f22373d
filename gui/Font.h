// Fonts and colours of the layout tables: a font is a face and a character
// height in pixels (points convert at a fixed 96 dpi: no DPI scaling).
#pragma once
#include "util/Win.h"

namespace gui {

struct TFontSpec {
  const char* face = nullptr;  // nullptr: the form's font
  int height = 0;              // character height in pixels
  bool bold = false;
};

// A font given in pixels, as a layout table writes it ("13 pixels high").
constexpr TFontSpec Px(const char* face, int pixels, bool bold = false) {
  return TFontSpec{face, pixels, bold};
}
// A font given in points; 8 pt is 11 pixels, 10 pt is 13 pixels.
constexpr TFontSpec Pt(const char* face, int points, bool bold = false) {
  return TFontSpec{face, (points * 96 + 36) / 72, bold};
}

// Colours. kDefaultColor means "the system's text colour".
constexpr COLORREF kDefaultColor = CLR_INVALID;
constexpr COLORREF clBlack = RGB(0, 0, 0);
constexpr COLORREF clBlue = RGB(0, 0, 255);
constexpr COLORREF clGray = RGB(128, 128, 128);

// The font object for a spec; created once per distinct spec and kept for
// the life of the process (GDI objects shared by every control using it).
HFONT GetFont(const TFontSpec& spec);

}  // namespace gui
