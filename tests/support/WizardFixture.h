// The wizard tests' fixture: the sandbox, the current directory kept, and a
// watchdog; the forms are driven through tests/support/FormDriver.h.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Form.h"
#include "tests/support/FormDriver.h"
#include "tests/support/Sandbox.h"
#include "util/Message.h"
#include "util/Win.h"

namespace testsupport {

// Per test: the sandbox (scratch folder, both registry keys absent before
// and after, the beep off, message boxes recorded and answered OK unless told
// otherwise), the current directory restored, and a watchdog.
class WizardFixture : public testsupport::TSandboxTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Answers every box with answer(text) from now on.
  void Answer(std::function<int(const std::string&)> answer) { boxes_.SetAnswer(std::move(answer)); }
  std::vector<std::string> BoxTexts() const { return boxes_.Texts(); }
  const std::vector<testsupport::TBox>& Boxes() const { return boxes_.boxes; }
  void ClearBoxes() { boxes_.boxes.clear(); }


 private:
  std::string savedCwd_;
  testsupport::TWatchdog watchdog_;
};

}  // namespace testsupport
