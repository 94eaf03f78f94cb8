#include "listview/record_exchange.h"

#include <algorithm>

TextBuffer::TextBuffer(const ControlLink& link, std::size_t capacity) : link_(link) {
  if (capacity == 0) return;  // nowhere to write even the NUL: never ready
  if (link_.remote) {
    remote_ = RemoteBlock(link_.memory, link_.process, capacity);
  } else {
    local_.assign(capacity, '\0');
  }
}

bool TextBuffer::Ready() const { return link_.remote ? static_cast<bool>(remote_) : !local_.empty(); }

char* TextBuffer::Address() const {
  if (link_.remote) return static_cast<char*>(remote_.Address());
  return const_cast<char*>(local_.data());
}

std::string TextBuffer::Text() {
  const std::string bytes = link_.remote ? remote_.Read() : std::string(local_.begin(), local_.end());
  // The last byte is kept for the NUL: some controls fill a buffer that is too
  // small to the brim without terminating it, and the text is never longer
  // than capacity - 1 bytes.
  const std::size_t room = bytes.empty() ? 0 : bytes.size() - 1;
  return bytes.substr(0, std::min(bytes.find('\0'), room));
}

PassedText::PassedText(const ControlLink& link, const std::string& text) : link_(link), text_(text) {
  if (!link_.remote) return;
  remote_ = RemoteBlock(link_.memory, link_.process, text_.size() + 1);
  if (remote_) remote_.Write(text_.c_str(), text_.size() + 1);
}

bool PassedText::Ready() const { return !link_.remote || static_cast<bool>(remote_); }

char* PassedText::Address() const {
  if (link_.remote) return static_cast<char*>(remote_.Address());
  return const_cast<char*>(text_.c_str());
}
