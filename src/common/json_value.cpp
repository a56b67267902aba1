#include "common/json_value.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace velquor {
namespace {

constexpr int kDeepest = 64;

class Parser {
 public:
  Parser(std::string_view text, const std::string& file) : s_(text), file_(file) {}

  Result<JsonValue> Document() {
    JsonValue v;
    if (!Value(v, 0)) return Fault();
    Space();
    if (at_ != s_.size()) {
      what_ = "nothing may follow the JSON value";
      return Fault();
    }
    return v;
  }

 private:
  Problem Fault() const {
    int line = 1, column = 1;
    for (std::size_t k = 0; k < at_ && k < s_.size(); ++k) {
      if (s_[k] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    return {file_, line, column, what_.empty() ? "this is not JSON" : what_};
  }

  bool Fail(const char* what) {
    if (what_.empty()) what_ = what;
    return false;
  }

  void Space() {
    while (at_ < s_.size() &&
           (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) {
      ++at_;
    }
  }

  bool Word(std::string_view w) {
    if (s_.substr(at_, w.size()) != w) return Fail("a value was expected here");
    at_ += w.size();
    return true;
  }

  bool Value(JsonValue& v, int depth) {
    if (depth > kDeepest) return Fail("the values are nested too deep");
    Space();
    if (at_ >= s_.size()) return Fail("the text ends where a value was expected");
    const char c = s_[at_];
    if (c == '{') return Object(v, depth);
    if (c == '[') return Array(v, depth);
    if (c == '"') {
      v.kind = JsonValue::Kind::kString;
      return String(v.text);
    }
    if (c == 't' || c == 'f') {
      v.kind = JsonValue::Kind::kBool;
      v.boolean = c == 't';
      return Word(c == 't' ? "true" : "false");
    }
    if (c == 'n') return Word("null");
    v.kind = JsonValue::Kind::kNumber;
    return NumberAt(v.number);
  }

  bool Object(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::kObject;
    ++at_;
    Space();
    if (at_ < s_.size() && s_[at_] == '}') {
      ++at_;
      return true;
    }
    while (true) {
      Space();
      std::string key;
      if (at_ >= s_.size() || s_[at_] != '"') return Fail("a member's name in quotes was expected");
      if (!String(key)) return false;
      Space();
      if (at_ >= s_.size() || s_[at_] != ':') return Fail("\":\" was expected after the name");
      ++at_;
      JsonValue member;
      if (!Value(member, depth + 1)) return false;
      v.names.push_back(std::move(key));
      v.members.push_back(std::move(member));
      Space();
      if (at_ < s_.size() && s_[at_] == ',') {
        ++at_;
        continue;
      }
      if (at_ < s_.size() && s_[at_] == '}') {
        ++at_;
        return true;
      }
      return Fail("\",\" or \"}\" was expected");
    }
  }

  bool Array(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::kArray;
    ++at_;
    Space();
    if (at_ < s_.size() && s_[at_] == ']') {
      ++at_;
      return true;
    }
    while (true) {
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      v.items.push_back(std::move(item));
      Space();
      if (at_ < s_.size() && s_[at_] == ',') {
        ++at_;
        continue;
      }
      if (at_ < s_.size() && s_[at_] == ']') {
        ++at_;
        return true;
      }
      return Fail("\",\" or \"]\" was expected");
    }
  }

  static void PutUtf8(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool Hex4(std::uint32_t& cp) {
    if (at_ + 4 > s_.size()) return Fail("\\u takes four hexadecimal digits");
    unsigned v = 0;
    const auto res = std::from_chars(s_.data() + at_, s_.data() + at_ + 4, v, 16);
    if (res.ec != std::errc() || res.ptr != s_.data() + at_ + 4) {
      return Fail("\\u takes four hexadecimal digits");
    }
    at_ += 4;
    cp = v;
    return true;
  }

  bool String(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < s_.size()) {
      const char c = s_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20)
        return Fail("a control character stands in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= s_.size()) break;
      const char e = s_[at_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00) {  // a pair of surrogates makes one character
            std::uint32_t low = 0;
            if (s_.substr(at_, 2) != "\\u") return Fail("a surrogate without its pair");
            at_ += 2;
            if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF)
              return Fail("a surrogate without its pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp < 0xE000) {
            return Fail("a surrogate without its pair");
          }
          PutUtf8(cp, out);
          break;
        }
        default:
          return Fail("an escape that JSON does not know");
      }
    }
    return Fail("a string that does not end");
  }

  bool NumberAt(double& v) {
    // The JSON grammar: -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
    const std::size_t start = at_;
    auto digits = [this] {
      const std::size_t from = at_;
      while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
      return at_ > from;
    };
    if (at_ < s_.size() && s_[at_] == '-') ++at_;
    if (at_ < s_.size() && s_[at_] == '0') {
      ++at_;
    } else if (!digits()) {
      return Fail("a value was expected here");
    }
    if (at_ < s_.size() && s_[at_] == '.') {
      ++at_;
      if (!digits()) return Fail("digits must follow the decimal point");
    }
    if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
      ++at_;
      if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
      if (!digits()) return Fail("digits must follow the exponent");
    }
    const auto res = std::from_chars(s_.data() + start, s_.data() + at_, v);
    if (res.ec != std::errc() || !std::isfinite(v)) return Fail("a number too large to hold");
    return true;
  }

  std::string_view s_;
  const std::string& file_;
  std::size_t at_ = 0;
  std::string what_;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
  if (kind != Kind::kObject) return nullptr;
  for (std::size_t k = 0; k < names.size() && k < members.size(); ++k) {
    if (names[k] == key) return &members[k];
  }
  return nullptr;
}

std::optional<double> JsonValue::Number(std::string_view key) const {
  const JsonValue* v = Find(key);
  if (v == nullptr || v->kind != Kind::kNumber) return std::nullopt;
  return v->number;
}

std::optional<std::string> JsonValue::Text(std::string_view key) const {
  const JsonValue* v = Find(key);
  if (v == nullptr || v->kind != Kind::kString) return std::nullopt;
  return v->text;
}

std::optional<bool> JsonValue::Bool(std::string_view key) const {
  const JsonValue* v = Find(key);
  if (v == nullptr || v->kind != Kind::kBool) return std::nullopt;
  return v->boolean;
}

Result<JsonValue> ParseJson(std::string_view text, const std::string& file) {
  return Parser(text, file).Document();
}

}  // namespace velquor
