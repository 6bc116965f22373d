// The process-wide cache of GDI fonts for the layout tables' font specs.
#include "gui/Font.h"

#include <cstring>
#include <map>
#include <string>
#include <tuple>

namespace gui {

HFONT GetFont(const TFontSpec& spec) {
  using Key = std::tuple<std::string, int, bool>;
  static std::map<Key, HFONT> cache;
  Key key{spec.face ? spec.face : "MS Sans Serif", spec.height > 0 ? spec.height : 11, spec.bold};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  LOGFONTA lf{};
  lf.lfHeight = -std::get<1>(key);  // negative: character height, not cell height
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  strncpy(lf.lfFaceName, std::get<0>(key).c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectA(&lf);
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  cache.emplace(key, font);
  return font;
}

}  // namespace gui
