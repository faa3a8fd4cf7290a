#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace harmovia {

// A length-prefixed text of at most 255 Mac Roman bytes. Every write is a bounded copy:
// text beyond the capacity is cut, never an error.
class PStr {
  public:
    static constexpr int kCapacity = 255;

    PStr() = default;
    PStr(std::string_view text) { Assign(text); }  // NOLINT: literals read naturally
    PStr(const char* text) : PStr(std::string_view(text)) {}

    void Assign(std::string_view text) {
        length_ = static_cast<uint8_t>(std::min<size_t>(text.size(), kCapacity));
        std::memcpy(chars_.data(), text.data(), length_);
    }
    // Appends as much of `text` as fits.
    PStr& operator+=(std::string_view text) {
        const size_t room = kCapacity - length_;
        const size_t n = std::min(room, text.size());
        std::memcpy(chars_.data() + length_, text.data(), n);
        length_ = static_cast<uint8_t>(length_ + n);
        return *this;
    }
    friend PStr operator+(PStr a, std::string_view b) { return a += b; }

    int size() const { return length_; }
    bool empty() const { return length_ == 0; }
    std::string_view view() const { return {chars_.data(), length_}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }  // NOLINT: a PStr is a text
    // Byte i (0-based) as an unsigned Mac Roman code.
    uint8_t operator[](int i) const { return static_cast<uint8_t>(chars_[i]); }

    friend bool operator==(const PStr& a, std::string_view b) { return a.view() == b; }

  private:
    uint8_t length_ = 0;
    std::array<char, kCapacity> chars_{};
};

// A text slot inside a record: N raw bytes, a length byte followed by up to N - 1
// characters. Bytes behind the text are carried unchanged (the file keeps them), and a
// length byte larger than the slot (a damaged file) is read as the slot's capacity.
template <int N>
struct TextSlot {
    static_assert(N >= 2 && N <= 256);
    static constexpr int kCapacity = N - 1;

    std::array<uint8_t, N> bytes{};

    std::string_view view() const {
        const int length = std::min<int>(bytes[0], kCapacity);
        return {reinterpret_cast<const char*>(bytes.data() + 1), static_cast<size_t>(length)};
    }
    PStr Get() const { return PStr(view()); }
    // Bounded copy: the text is cut to the slot's capacity; bytes behind it stay as they were.
    void Set(std::string_view text) {
        const size_t n = std::min<size_t>(text.size(), kCapacity);
        bytes[0] = static_cast<uint8_t>(n);
        std::memcpy(bytes.data() + 1, text.data(), n);
    }

    bool operator==(const TextSlot&) const = default;
};

using Text255 = TextSlot<256>;
using Text63 = TextSlot<64>;

}  // namespace harmovia
