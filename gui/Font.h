// Fonts and colours of the layout tables: a font is a face and a character
// height in pixels at 96 dpi, or in points; GetFont makes it for a DPI.
#pragma once
#include "util/Win.h"

namespace gui {

struct TFontSpec {
  const char* face = nullptr;  // nullptr: the form's font
  int height = 0;              // character height in pixels at 96 dpi
  bool bold = false;
  int points = 0;  // given in points (Pt): at a DPI, points * DPI / 72 pixels
};

// A font given in pixels, as a layout table writes it ("13 pixels high").
constexpr TFontSpec Px(const char* face, int pixels, bool bold = false) {
  return TFontSpec{face, pixels, bold};
}
// A font given in points; 8 pt is 11 pixels at 96 dpi (16 at 144), 10 pt is
// 13 pixels (20 at 144): rounded as the system rounds its own fonts.
constexpr TFontSpec Pt(const char* face, int points, bool bold = false) {
  return TFontSpec{face, (points * 96 + 36) / 72, bold, points};
}

// Colours. kDefaultColor means "the system's text colour".
constexpr COLORREF kDefaultColor = CLR_INVALID;
constexpr COLORREF clBlack = RGB(0, 0, 0);
constexpr COLORREF clBlue = RGB(0, 0, 255);
constexpr COLORREF clGray = RGB(128, 128, 128);

// The character height in pixels of the font at dpi: points as the system
// rounds them (8 pt: 11, 13, 16, 21 pixels at 96, 120, 144, 192 dpi), pixels
// at 96 dpi scaled and rounded down (11: 11, 13, 16, 22).
int FontHeight(const TFontSpec& spec, int dpi);

// The font object for a spec at dpi; created once per distinct face, height
// and weight and kept for the life of the process (GDI objects shared by
// every control using it).
HFONT GetFont(const TFontSpec& spec, int dpi = 96);

}  // namespace gui
