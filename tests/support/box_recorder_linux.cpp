#include "runtime/message_box.h"
#include "tests/support/box_recorder.h"

namespace testing_support {
namespace {
crt::MessagePresenter previous;
}

BoxRecorder::BoxRecorder() {
  previous = crt::SetMessagePresenter(
      [this](const char* caption, const char* text, unsigned style, void* owner) {
        boxes_.push_back({caption, text, style, owner});
        return crt::IDNO;
      });
}

BoxRecorder::~BoxRecorder() {
  crt::SetMessagePresenter(std::move(previous));
}

}  // namespace testing_support
