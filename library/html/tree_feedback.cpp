#include "library/html/tree_feedback.h"

namespace quillon::html {

void TreeFeedback::Reset() {
  depth_ = 0;
  Push(kHtml);
}

TreeFeedback::Namespace TreeFeedback::Below() const {
  if (depth_ < 2) return kNone;
  return depth_ <= kNamespaceDepth ? stack_[depth_ - 2] : stack_[kNamespaceDepth - 1];
}

void TreeFeedback::Push(Namespace space) {
  if (depth_ < kNamespaceDepth) {
    stack_[depth_] = space;
  } else {
    stack_[kNamespaceDepth - 1] = space;
  }
  ++depth_;
}

void TreeFeedback::Pop() {
  if (depth_ > 1) --depth_;
}

bool TreeFeedback::IntegrationPoint(TagName name, Namespace space, bool html_encoding) {
  if (space == kSvg) {
    return name == TagName::kForeignObject || name == TagName::kDesc || name == TagName::kTitle;
  }
  if (space == kMathMl) {
    return name == TagName::kMathText || (name == TagName::kAnnotationXml && html_encoding);
  }
  return false;
}

ContentModel TreeFeedback::StartTag(TagName name, bool self_closing, bool leaves_as_font,
                                    bool html_encoding) {
  if (name == TagName::kSvg) Push(kSvg);
  if (name == TagName::kMath) Push(kMathMl);
  if (in_foreign_content()) {
    if (name == TagName::kLeavesForeign || (name == TagName::kFont && leaves_as_font)) {
      Pop();
    } else if (!self_closing && IntegrationPoint(name, Top(), html_encoding)) {
      Push(kHtml);
    }
    return ContentModel::kMarkup;
  }
  switch (name) {
    case TagName::kTitle:
    case TagName::kTextarea:
      return ContentModel::kRcdata;
    case TagName::kStyle:
    case TagName::kXmp:
    case TagName::kIframe:
    case TagName::kNoembed:
    case TagName::kNoframes:
      return ContentModel::kRawtext;
    case TagName::kScript:
      return ContentModel::kScriptData;
    case TagName::kPlaintext:
      return ContentModel::kPlaintext;
    default:
      return ContentModel::kMarkup;
  }
}

void TreeFeedback::EndTag(TagName name, bool html_encoding) {
  if (!in_foreign_content()) {
    if (IntegrationPoint(name, Below(), html_encoding)) Pop();
  } else if ((name == TagName::kSvg && Top() == kSvg) ||
             (name == TagName::kMath && Top() == kMathMl)) {
    Pop();
  }
}

}  // namespace quillon::html
