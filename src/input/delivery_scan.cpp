#include "input/delivery_scan.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "input/block_lines.hpp"
#include "records/shift_jis.hpp"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TRADEPL_SSE2 1
#endif

namespace tradepl::detail {
namespace {

// Whether a delivery's trade type begins at `start` of `block`.
bool deliveryWordAt(std::string_view block, std::size_t start) {
  const std::string_view word = block.substr(start, sjis::kDeliveryTake.size());
  return word == sjis::kDeliveryTake || word == sjis::kDeliveryTakeFormal ||
         word == sjis::kDeliveryGive || word == sjis::kDeliveryGiveFormal;
}

// The second bytes of 現 and 品, which begin every delivery's trade type.
constexpr char kSecondOfGen = sjis::kDeliveryTake[1];
constexpr char kSecondOfHin = sjis::kDeliveryTakeFormal[1];
static_assert(sjis::kDeliveryGive[1] == kSecondOfGen &&
              sjis::kDeliveryGiveFormal[1] == kSecondOfHin);

// Whether a delivery's trade type stands whole in `block`, its first byte not the block's
// first. Both second bytes are looked for in one pass, 64 bytes at a time where the processor
// can: a search for each word read each block four times, and cost a margin log of 200,000
// lines 19 million instructions against 15.
bool holdsDeliveryWord(std::string_view block) {
  std::size_t at = 1;
#ifdef TRADEPL_SSE2
  const __m128i gen = _mm_set1_epi8(kSecondOfGen);
  const __m128i hin = _mm_set1_epi8(kSecondOfHin);
  for (; at + 64 <= block.size(); at += 64) {
    std::uint64_t seconds = 0;
    for (std::size_t i = 0; i < 64; i += 16) {
      const __m128i bytes =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(block.data() + at + i));
      const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, gen), _mm_cmpeq_epi8(bytes, hin));
      seconds |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits))) << i;
    }
    for (; seconds != 0; seconds &= seconds - 1) {
      if (deliveryWordAt(block, at + static_cast<unsigned>(std::countr_zero(seconds)) - 1)) {
        return true;
      }
    }
  }
#endif
  for (; at < block.size(); ++at) {
    const char c = block[at];
    if ((c == kSecondOfGen || c == kSecondOfHin) && deliveryWordAt(block, at - 1)) return true;
  }
  return false;
}

}  // namespace

bool mayHoldDelivery(LogBytes& bytes, std::span<char> buffer) {
  const std::uint64_t size = bytes.size().value_or(0);
  // The last bytes of a block, a word's length less one, are kept in front of the next one,
  // so that no word is cut, and each block is read where the last one ended: a block read
  // from a place of its own costs a seek and a short read through the C library's buffer,
  // 2,000 system calls on a margin log of 250 MB.
  constexpr std::size_t kKept = 3;
  const std::span<char> block = buffer.first(std::min(buffer.size(), kBlockSize + kKept));
  std::size_t kept = 0;
  for (std::uint64_t at = 0; at < size;) {
    const std::size_t got =
        bytes.readAt(at, block.subspan(kept, std::min(block.size() - kept, kBlockSize)));
    if (got == 0) return true;  // the reading itself will tell what failed
    const std::size_t held = kept + got;
    if (holdsDeliveryWord(std::string_view(block.data(), held))) return true;
    at += got;
    kept = block.size() > 2 * kKept ? std::min(held, kKept) : 0;
    std::memmove(block.data(), block.data() + held - kept, kept);
  }
  return false;
}

}  // namespace tradepl::detail
