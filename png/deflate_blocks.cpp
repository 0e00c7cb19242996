// Finding where a deflate stream's final block starts and where the stream
// ends, without inflating it: the blocks' codes are read and their extra
// bits skipped, nothing is copied. libdeflate writes only whole streams, and
// this is what turns one into a piece (see deflate_pieces.h).

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "deflate_pieces.h"

namespace Png {

namespace Deflate {

namespace {

constexpr int kMaxCodeBits = 15;
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                          11, 4,  12, 3, 13, 2, 14, 1, 15};

class Bits {
public:
    Bits(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next n (at most 32) bits, least significant first; zeros past the end.
    uint32_t peek(int n) const {
        const std::size_t byte = at_ / 8;
        uint64_t word = 0;
        if (byte + 8 <= size_)
            std::memcpy(&word, data_ + byte, 8);
        else if (byte < size_)
            std::memcpy(&word, data_ + byte, size_ - byte);
        return static_cast<uint32_t>((word >> (at_ % 8)) & ((uint64_t{1} << n) - 1));
    }
    uint32_t take(int n) {
        const uint32_t v = peek(n);
        at_ += static_cast<std::size_t>(n);
        return v;
    }
    void skip(std::size_t n) { at_ += n; }
    void alignToByte() { at_ = (at_ + 7) / 8 * 8; }
    std::size_t at() const { return at_; }
    bool overrun() const { return at_ > size_ * 8; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The three alphabets a block's codes come in.
enum class Alphabet { CodeLengths, LiteralsAndLengths, Distances };

// What a symbol asks of the reader: literals and code lengths nothing more,
// a length a distance after it.
enum Kind : uint16_t { kPlain = 0, kLength = 1, kEnd = 2, kInvalid = 3 };

// A canonical Huffman code read through one table of 2^longest entries,
// indexed by the next bits as they lie in the stream. An entry holds the
// bits to skip (the code's, and the extra bits that follow it, which are
// never needed), the symbol's kind and the symbol; 0 for bits that are no
// code. One lookup and one skip a symbol keep the walk a small part of the
// compressor's time.
class Code {
public:
    bool build(const uint8_t* lengths, int count, Alphabet alphabet) {
        int counts[kMaxCodeBits + 1] = {};
        longest_ = 0;
        for (int s = 0; s < count; ++s) {
            ++counts[lengths[s]];
            longest_ = std::max<int>(longest_, lengths[s]);
        }
        counts[0] = 0;
        int next[kMaxCodeBits + 2] = {};
        int left = 1;
        for (int len = 1; len <= kMaxCodeBits; ++len) {
            left = left * 2 - counts[len];
            if (left < 0) return false;  // more codes than the lengths allow
            next[len + 1] = (next[len] + counts[len]) << 1;
        }
        table_.assign(std::size_t{1} << longest_, 0);
        for (int s = 0; s < count; ++s) {
            const int len = lengths[s];
            if (len == 0) continue;
            const int code = next[len]++;
            int reversed = 0;
            for (int k = 0; k < len; ++k) reversed |= ((code >> k) & 1) << (len - 1 - k);
            const auto entry = static_cast<uint16_t>(s << 7 | entryOf(alphabet, s, len));
            for (int k = reversed; k < (1 << longest_); k += 1 << len)
                table_[static_cast<std::size_t>(k)] = entry;
        }
        return true;
    }
    // The entry for the next bits; the caller skips its bits.
    uint16_t next(const Bits& bits) const { return table_[bits.peek(longest_)]; }
    // The next symbol (skipping only its code), or -1 for bits that are no code.
    int read(Bits& bits) const {
        const uint16_t entry = next(bits);
        if ((entry & 31) == 0) return -1;
        bits.skip(entry & 31);
        return entry >> 7;
    }

private:
    static uint16_t entryOf(Alphabet alphabet, int symbol, int len) {
        int skip = len;
        uint16_t kind = kPlain;
        if (alphabet == Alphabet::LiteralsAndLengths && symbol == 256) {
            kind = kEnd;
        } else if (alphabet == Alphabet::LiteralsAndLengths && symbol > 256) {
            kind = symbol > 285 ? kInvalid : kLength;
            if (symbol <= 285) skip += kLengthExtra[symbol - 257];
        } else if (alphabet == Alphabet::Distances) {
            kind = symbol >= 30 ? kInvalid : kPlain;
            if (symbol < 30) skip += kDistanceExtra[symbol];
        }
        return static_cast<uint16_t>(kind << 5 | skip);
    }

    std::vector<uint16_t> table_;
    int longest_ = 0;
};

bool skipCodes(Bits& bits, const Code& lengths, const Code& distances) {
    for (;;) {
        if (bits.overrun()) return false;
        const uint16_t entry = lengths.next(bits);
        const auto kind = static_cast<uint16_t>(entry >> 5 & 3);
        if ((entry & 31) == 0 || kind == kInvalid) return false;
        bits.skip(entry & 31);
        if (kind == kPlain) continue;
        if (kind == kEnd) return true;
        const uint16_t distance = distances.next(bits);
        if ((distance & 31) == 0 || (distance >> 5 & 3) == kInvalid) return false;
        bits.skip(distance & 31);
    }
}

bool readDynamicCodes(Bits& bits, Code& lengths, Code& distances) {
    const int literals = static_cast<int>(bits.take(5)) + 257;
    const int dists = static_cast<int>(bits.take(5)) + 1;
    const int lengthCodes = static_cast<int>(bits.take(4)) + 4;
    uint8_t codeLengths[19] = {};
    for (int k = 0; k < lengthCodes; ++k) codeLengths[kCodeLengthOrder[k]] = bits.take(3) & 7;
    Code header;
    if (!header.build(codeLengths, 19, Alphabet::CodeLengths)) return false;
    uint8_t all[288 + 32] = {};
    for (int k = 0; k < literals + dists;) {
        const int symbol = header.read(bits);
        int repeat = 1;
        uint8_t value = 0;
        if (symbol < 0 || bits.overrun()) return false;
        if (symbol < 16) {
            value = static_cast<uint8_t>(symbol);
        } else if (symbol == 16) {
            if (k == 0) return false;
            value = all[k - 1];
            repeat = 3 + static_cast<int>(bits.take(2));
        } else {
            repeat = symbol == 17 ? 3 + static_cast<int>(bits.take(3))
                                  : 11 + static_cast<int>(bits.take(7));
        }
        if (k + repeat > literals + dists) return false;
        std::fill_n(all + k, repeat, value);
        k += repeat;
    }
    return lengths.build(all, literals, Alphabet::LiteralsAndLengths) &&
           distances.build(all + literals, dists, Alphabet::Distances);
}

struct Ends {
    std::size_t finalHeader = 0;  // bit of the final block's flag
    std::size_t end = 0;          // bit after the final block
};

std::optional<Ends> findEnds(const uint8_t* data, std::size_t size) {
    Bits bits(data, size);
    Code lengths, distances;
    for (;;) {
        const std::size_t header = bits.at();
        const bool final = bits.take(1) != 0;
        const uint32_t type = bits.take(2);
        if (type == 0) {
            bits.alignToByte();
            const uint32_t length = bits.take(16);
            if ((bits.take(16) ^ 0xFFFF) != length) return std::nullopt;
            bits.skip(std::size_t{length} * 8);
        } else if (type == 1) {
            uint8_t fixed[288 + 30];
            std::fill_n(fixed, 144, 8);
            std::fill_n(fixed + 144, 112, 9);
            std::fill_n(fixed + 256, 24, 7);
            std::fill_n(fixed + 280, 8, 8);
            std::fill_n(fixed + 288, 30, 5);
            if (!lengths.build(fixed, 288, Alphabet::LiteralsAndLengths) ||
                !distances.build(fixed + 288, 30, Alphabet::Distances) ||
                !skipCodes(bits, lengths, distances))
                return std::nullopt;
        } else if (type == 2) {
            if (!readDynamicCodes(bits, lengths, distances) || !skipCodes(bits, lengths, distances))
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        if (bits.overrun()) return std::nullopt;
        if (final) return Ends{header, bits.at()};
    }
}

}  // namespace

std::size_t ContinueStream(uint8_t* data, std::size_t size) {
    const auto ends = findEnds(data, size);
    if (!ends) return 0;
    data[ends->finalHeader / 8] &= static_cast<uint8_t>(~(1u << (ends->finalHeader % 8)));
    // An empty stored block: three zero bits (not final, stored), zeros to
    // the byte boundary, then its length 0 and that length's complement.
    const std::size_t head = ends->end / 8;
    const std::size_t aligned = (ends->end + 3 + 7) / 8;
    if (ends->end % 8 != 0) data[head] &= static_cast<uint8_t>((1u << (ends->end % 8)) - 1);
    std::fill(data + head + (ends->end % 8 != 0 ? 1 : 0), data + aligned, uint8_t{0});
    const uint8_t stored[4] = {0x00, 0x00, 0xFF, 0xFF};
    std::memcpy(data + aligned, stored, 4);
    return aligned + 4;
}

}  // namespace Deflate

}  // namespace Png
