#include "appcore/DocComment.h"

namespace ludra {

TDocTracker::TSpan TDocTracker::Next(std::string_view trimmed, size_t begin, size_t end) {
  if (inBlock_) {
    if (trimmed.find("*/") != std::string_view::npos) {
      inBlock_ = false;
      doc_ = {blockBegin_, end};
      triple_ = false;
    }
    return {};
  }
  // "////..." rules off a section; it documents nothing.
  if (trimmed.starts_with("///") && !trimmed.starts_with("////")) {
    if (!triple_ || doc_.Empty()) doc_.Begin = begin;
    doc_.End = end;
    triple_ = true;
    return {};
  }
  if (trimmed.starts_with("/**") && !trimmed.starts_with("/**/")) {
    triple_ = false;
    if (trimmed.find("*/", 3) != std::string_view::npos) {
      doc_ = {begin, end};
    } else {
      inBlock_ = true;
      blockBegin_ = begin;
      doc_ = {};
    }
    return {};
  }
  TSpan above = trimmed.empty() ? TSpan{} : doc_;
  doc_ = {};
  triple_ = false;
  return above;
}

}  // namespace ludra
