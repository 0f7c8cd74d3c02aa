// The floor under tradepl's reading of its logs: reads each file named in blocks of 256 KiB
// and finds the comma and the line end positions of every line, sixteen bytes at a time
// with SSE2, and nothing else. Prints the sum of every position found, so that the work
// cannot be left out, and the count of lines. The workload benchmark times tradepl against
// it, on the same files.
//
//   bare_scan FILE...
//
// POSIX only.

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::size_t kBlock = std::size_t{256} << 10;

struct Sums {
  std::uint64_t positions = 0;
  std::uint64_t lines = 0;
};

// Adds the positions of the commas and line ends of one block; `at` is where the block
// stands in its file.
void scanBlock(const char* block, std::size_t size, std::uint64_t at, Sums& sums) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i comma = _mm_set1_epi8(',');
  const __m128i lineEnd = _mm_set1_epi8('\n');
  for (; i + 16 <= size; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
    const auto ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineEnd)));
    auto marks = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, comma))) | ends;
    sums.lines += static_cast<std::uint64_t>(std::popcount(ends));
    for (; marks != 0; marks &= marks - 1) {
      sums.positions += at + i + static_cast<std::uint64_t>(std::countr_zero(marks));
    }
  }
#endif
  for (; i < size; ++i) {
    if (block[i] == ',' || block[i] == '\n') sums.positions += at + i;
    if (block[i] == '\n') ++sums.lines;
  }
}

bool scanFile(const char* path, char* buffer, Sums& sums) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  std::uint64_t at = 0;
  for (;;) {
    const ssize_t got = read(fd, buffer, kBlock);
    if (got < 0) {
      close(fd);
      return false;
    }
    if (got == 0) break;
    scanBlock(buffer, static_cast<std::size_t>(got), at, sums);
    at += static_cast<std::uint64_t>(got);
  }
  close(fd);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const auto buffer = std::make_unique_for_overwrite<char[]>(kBlock);
  Sums sums;
  for (int i = 1; i < argc; ++i) {
    if (!scanFile(argv[i], buffer.get(), sums)) {
      std::fprintf(stderr, "bare_scan: cannot read %s\n", argv[i]);
      return 1;
    }
  }
  std::printf("%llu lines, positions sum to %llu\n", static_cast<unsigned long long>(sums.lines),
              static_cast<unsigned long long>(sums.positions));
  return 0;
}
