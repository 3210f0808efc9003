#pragma once
// The text the rewriter writes. A translation grows by a couple of hundred appends of a few bytes
// each (a word, an operator, a blank): std::string would go out of line for every one of them,
// so the text lives in a buffer of zero bytes sized ahead, its length kept here, and an append is
// one check of the room left and one copy. The few edits the rules make on written text (a
// prefix inserted, a factor replaced, a tail dropped) keep std::string's names and meaning.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace adodb::tsql {

class OutputText {
 public:
  static constexpr std::size_t npos = std::string_view::npos;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  char back() const { return buffer_[size_ - 1]; }
  operator std::string_view() const { return {buffer_.data(), size_}; }

  void reserve(std::size_t capacity) {
    if (capacity > buffer_.size()) buffer_.resize(capacity);
  }
  // The piece, after a blank when `blankFirst`: how the rewriter joins most of what it writes.
  void Append(std::string_view piece, bool blankFirst) {
    MakeRoom(piece.size() + 1);
    buffer_[size_] = ' ';
    size_ += blankFirst;
    Copy(buffer_.data() + size_, piece);
    size_ += piece.size();
  }
  OutputText& operator+=(std::string_view piece) {
    Append(piece, false);
    return *this;
  }

  std::string substr(std::size_t from, std::size_t count = npos) const {
    return std::string(std::string_view(*this).substr(from, count));
  }
  // The written text from `from` on, without the blanks the pieces were joined with at its ends.
  std::string TrimmedFrom(std::size_t from, std::size_t count = npos) const {
    std::string_view text = std::string_view(*this).substr(from, count);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') + 1 - first));
  }
  std::size_t find_first_not_of(char c, std::size_t from) const { return std::string_view(*this).find_first_not_of(c, from); }
  std::size_t find_last_not_of(std::string_view chars, std::size_t from) const {
    return std::string_view(*this).find_last_not_of(chars, from);
  }

  // Only ever shortens: a rule drops what it wrote to write it again in another form.
  void resize(std::size_t size) { size_ = std::min(size, size_); }
  // `text` never points into this buffer, which may move.
  void insert(std::size_t at, std::string_view text) { replace(at, 0, text); }
  void replace(std::size_t at, std::size_t count, std::string_view text) {
    if (text.size() > count) MakeRoom(text.size() - count);
    char* const data = buffer_.data();
    std::memmove(data + at + text.size(), data + at + count, size_ - at - count);
    std::memcpy(data + at, text.data(), text.size());
    size_ = size_ - count + text.size();
  }

  // The text written, handed over without a copy; this output is left empty.
  std::string Release() {
    buffer_.resize(size_);
    size_ = 0;
    return std::move(buffer_);
  }

 private:
  // Most pieces are a word or a mark of a few bytes: they are copied by two moves of a fixed size
  // that overlap as needed, which the compiler writes inline, rather than by a call to memcpy.
  static void Copy(char* to, std::string_view piece) {
    const char* const from = piece.data();
    const std::size_t n = piece.size();
    if (n >= 8 && n <= 16) {
      std::memcpy(to, from, 8);
      std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
      std::memcpy(to, from, 4);
      std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0 && n < 4) {
      to[0] = from[0];
      to[n / 2] = from[n / 2];
      to[n - 1] = from[n - 1];
    } else {
      std::memcpy(to, from, n);
    }
  }

  void MakeRoom(std::size_t more) {
    if (size_ + more > buffer_.size()) buffer_.resize(std::max(size_ + more, 2 * buffer_.size() + 32));
  }

  std::string buffer_;  // the text in [0, size_), then room for more
  std::size_t size_ = 0;
};

}  // namespace adodb::tsql
