// Stands in for the person in front of the message boxes: while it lives,
// every box the program shows through util::ShowMessageBox is recorded and
// answered by a function of its text (OK unless told otherwise). The hook
// that was there before comes back on destruction.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "util/Message.h"

namespace testsupport {

struct TBox {
  std::string text, caption;
  util::MsgButtons buttons;
  util::MsgOwner::Kind owner;
  void* ownerWindow;  // the owning window when owner is Window
};

using TAnswer = std::function<int(const std::string& text)>;

// An answer that is always result (util::mrOk, mrYes, mrNo, mrCancel).
TAnswer Always(int result);

class TBoxRecorder {
 public:
  explicit TBoxRecorder(TAnswer answer = Always(util::mrOk));
  ~TBoxRecorder();
  TBoxRecorder(const TBoxRecorder&) = delete;
  TBoxRecorder& operator=(const TBoxRecorder&) = delete;

  void SetAnswer(TAnswer answer) { answer_ = std::move(answer); }
  std::vector<std::string> Texts() const;
  bool empty() const { return boxes.empty(); }
  size_t size() const { return boxes.size(); }
  const TBox& operator[](size_t i) const { return boxes[i]; }
  void clear() { boxes.clear(); }

  std::vector<TBox> boxes;

 private:
  TAnswer answer_;
  util::MessageHook previous_;
};

}  // namespace testsupport
