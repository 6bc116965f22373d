// The message box recorder (see BoxRecorder.h).
#include "tests/support/BoxRecorder.h"

namespace testsupport {

TAnswer Always(int result) {
  return [result](const std::string&) { return result; };
}

TBoxRecorder::TBoxRecorder(TAnswer answer) : answer_(std::move(answer)) {
  previous_ = util::SetMessageHook([this](const std::string& text, const std::string& caption,
                                          util::MsgButtons buttons, util::MsgOwner owner) {
    boxes.push_back({text, caption, buttons, owner.kind, owner.window});
    return answer_(text);
  });
}

TBoxRecorder::~TBoxRecorder() { util::SetMessageHook(std::move(previous_)); }

std::vector<std::string> TBoxRecorder::Texts() const {
  std::vector<std::string> texts;
  for (const TBox& b : boxes) texts.push_back(b.text);
  return texts;
}

}  // namespace testsupport
