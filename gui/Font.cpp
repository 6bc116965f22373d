// The process-wide cache of GDI fonts for the layout tables' font specs.
#include "gui/Font.h"

#include <cstring>

#include "gui/Dpi.h"

namespace gui {

namespace {
// The few distinct specs of the program's forms, searched in turn; entries
// live as long as the process, like their fonts.
struct TFontEntry {
  char face[LF_FACESIZE];
  int height;
  bool bold;
  HFONT font;
  TFontEntry* next;
};
}  // namespace

// Pixel heights scale rounded down: a text never grows wider than its
// scaled place, where the layout at 96 dpi gave it just room enough.
int FontHeight(const TFontSpec& spec, int dpi) {
  if (spec.points > 0) return MulDiv(spec.points, dpi, 72);
  return (spec.height > 0 ? spec.height : 11) * dpi / kBaseDpi;
}

HFONT GetFont(const TFontSpec& spec, int dpi) {
  static TFontEntry* cache = nullptr;
  const char* face = spec.face ? spec.face : "MS Sans Serif";
  const int height = FontHeight(spec, dpi);
  for (const TFontEntry* e = cache; e; e = e->next)
    if (e->height == height && e->bold == spec.bold && strcmp(e->face, face) == 0) return e->font;
  LOGFONTA lf{};
  lf.lfHeight = -height;  // negative: character height, not cell height
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectA(&lf);
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto* e = new TFontEntry{};
  strncpy(e->face, face, LF_FACESIZE - 1);
  e->height = height;
  e->bold = spec.bold;
  e->font = font;
  e->next = cache;
  cache = e;
  return font;
}

}  // namespace gui
