#include "library/tune_record.h"

#include <bit>
#include <cstring>
#include <type_traits>

namespace harmovia {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the file's host-order fields assume a little-endian machine");

template <class T>
T ToFileOrder(T value, FieldOrder order) {
    if (order != FieldOrder::BigEndian) {
        return value;  // host order is little-endian (asserted above)
    }
    using U = std::make_unsigned_t<T>;
    if constexpr (sizeof(T) == 2) {
        return static_cast<T>(__builtin_bswap16(static_cast<U>(value)));
    } else if constexpr (sizeof(T) == 4) {
        return static_cast<T>(__builtin_bswap32(static_cast<U>(value)));
    } else {
        return value;
    }
}

struct Encoder {
    uint8_t* out;

    template <class T>
    void Number(int offset, const char*, FieldRole, FieldOrder order, const T& value) {
        const T stored = ToFileOrder(value, order);
        std::memcpy(out + offset, &stored, sizeof(T));
    }
    template <class Span>
    void NumberArray(int offset, const char*, FieldRole, Span values) {
        for (size_t i = 0; i < values.size(); ++i) {
            Number(offset + static_cast<int>(i * sizeof(values[i])), "", FieldRole::Data,
                   FieldOrder::BigEndian, values[i]);
        }
    }
    template <int N>
    void Text(int offset, const char*, const TextSlot<N>& slot) {
        std::memcpy(out + offset, slot.bytes.data(), N);
    }
    void Bytes(int offset, const char*, FieldRole, std::span<const uint8_t> bytes) {
        std::memcpy(out + offset, bytes.data(), bytes.size());
    }
};

struct Decoder {
    const uint8_t* in;

    template <class T>
    void Number(int offset, const char*, FieldRole, FieldOrder order, T& value) {
        T stored;
        std::memcpy(&stored, in + offset, sizeof(T));
        value = ToFileOrder(stored, order);  // the exchange is its own inverse
    }
    template <class Span>
    void NumberArray(int offset, const char*, FieldRole, Span values) {
        // One copy, then the exchange in place: a loop the compiler vectorises.
        std::memcpy(values.data(), in + offset, values.size_bytes());
        for (auto& value : values) {
            value = ToFileOrder(value, FieldOrder::BigEndian);
        }
    }
    template <int N>
    void Text(int offset, const char*, TextSlot<N>& slot) {
        std::memcpy(slot.bytes.data(), in + offset, N);
    }
    void Bytes(int offset, const char*, FieldRole, std::span<uint8_t> bytes) {
        std::memcpy(bytes.data(), in + offset, bytes.size());
    }
};

}  // namespace

void EncodeTuneRecord(const TuneRecord& record, std::span<uint8_t, kTuneRecordSize> out) {
    Encoder encoder{out.data()};
    VisitTuneFields(record, encoder);
}

void DecodeTuneRecord(std::span<const uint8_t, kTuneRecordSize> in, TuneRecord& record) {
    Decoder decoder{in.data()};
    VisitTuneFields(record, decoder);
}

}  // namespace harmovia
