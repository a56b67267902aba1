#include "common/field_reader.h"

namespace velquor {

bool FieldReader::AtLineEnd() const {
  return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void FieldReader::ConsumeLineEnd() {
  if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  ++line_;
  index_ = 0;
}

bool FieldReader::AtEnd() const {
  return pos_ >= text_.size() && !pending_empty_;
}

std::optional<Field> FieldReader::Next() {
  if (pos_ >= text_.size()) {
    if (!pending_empty_) return std::nullopt;
    pending_empty_ = false;
    return Field{"", line_, ++index_};
  }
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;

  Field f;
  f.line = line_;
  f.index = ++index_;
  if (pos_ < text_.size() && text_[pos_] == '"') {
    ++pos_;
    std::size_t close = text_.find('"', pos_);
    if (close == std::string_view::npos) close = text_.size();
    f.text = std::string(text_.substr(pos_, close - pos_));
    for (char c : f.text) {
      if (c == '\n') ++line_;
    }
    pos_ = close < text_.size() ? close + 1 : close;
    // Anything between the closing quote and the delimiter is dropped.
    while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) ++pos_;
  } else {
    std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) ++pos_;
    f.text = std::string(text_.substr(start, pos_ - start));
  }
  if (pos_ < text_.size() && text_[pos_] == ',') {
    ++pos_;
    if (pos_ >= text_.size()) pending_empty_ = true;
  } else if (AtLineEnd()) {
    ConsumeLineEnd();
  }
  return f;
}

}  // namespace velquor
