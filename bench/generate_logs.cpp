// Writes a deterministic benchmark workload: a spot log and a margin log of N lines each,
// Shift_JIS, shaped like an active trader's years of exports: about 4,000 security codes,
// purchases interleaved with partial and full sales, half the margin rows closings.
//
//   generate_logs N spot.csv margin.csv [seed]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCodes = 4000;

// Katakana syllables in Shift_JIS, to make names of 3 to 8 characters.
const char* const kSyllables[] = {"\x83\x41", "\x83\x43", "\x83\x45", "\x83\x47", "\x83\x49",
                                  "\x83\x4A", "\x83\x4C", "\x83\x4E", "\x83\x50", "\x83\x52",
                                  "\x83\x54", "\x83\x56", "\x83\x58", "\x83\x5A", "\x83\x5C",
                                  "\x83\x5E", "\x83\x60", "\x83\x63", "\x83\x65", "\x83\x67",
                                  "\x83\x69", "\x83\x6A", "\x83\x6B", "\x83\x6C", "\x83\x6D"};

const char kSpotHeading[] =
    "\x96\xF1\x92\xE8\x93\xFA\x8E\x9E,\x96\xF1\x92\xE8\x94\xD4\x8D\x86,"
    "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68,\x96\xC1\x95\xBF\x96\xBC,x,x,x,x,x,x,x,x,x,x\r\n";
const char kMarginHeading[] =
    "\x96\xF1\x92\xE8\x93\xFA\x8E\x9E,\x96\xF1\x92\xE8\x94\xD4\x8D\x86,"
    "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68,\x96\xC1\x95\xBF\x96\xBC,"
    "x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x\r\n";

const char kSpot[] = "\x8C\xBB\x95\xA8";                     // 現物
const char kOpening[] = "\x90\x4D\x97\x70\x90\x56\x8B\x4B";  // 信用新規
const char kClosing[] = "\x90\x4D\x97\x70\x95\xD4\x8D\xCF";  // 信用返済
const char kBuy[] = "\x94\x83";                              // 買
const char kSell[] = "\x94\x84";                             // 売
const char kBuyToOpen[] = "\x94\x83\x8C\x9A";                // 買建
const char kSellToClose[] = "\x94\x84\x96\x84";              // 売埋
const char kTokyo[] = "\x93\x8C\x8F\xD8";                    // 東証
const char kTokutei[] = "\x93\xC1\x92\xE8";                  // 特定
const char kSeido[] = "\x90\xA7\x93\x78";                    // 制度

struct Security {
  int code;
  std::string name;
  int price;
  long long held = 0;
  long long marginOpen = 0;
};

struct Clock {
  int day = 0;  // days since 2015/01/01, business days only, roughly
  int minute = 9 * 60;

  void advance(std::mt19937_64& random) {
    minute += static_cast<int>(random() % 3);
    if (minute >= 15 * 60) {
      minute = 9 * 60;
      ++day;
    }
  }
  std::string date(int offsetDays = 0) const {
    const int d = day + offsetDays;
    // 250 trading days a year, in twelve months of 21 days from the 5th on: always later.
    const int year = 2015 + d / 250;
    const int month = 1 + (d % 250) / 21;
    const int dayOfMonth = 5 + (d % 250) % 21;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", year, month, dayOfMonth);
    return buffer;
  }
  std::string dateTime() const {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, " %02d:%02d", minute / 60, minute % 60);
    return date() + buffer;
  }
};

std::vector<Security> makeSecurities(std::mt19937_64& random) {
  std::vector<Security> securities;
  for (int i = 0; i < kCodes; ++i) {
    Security security;
    security.code = 1300 + i * 2;
    const int length = 3 + static_cast<int>(random() % 6);
    for (int j = 0; j < length; ++j) security.name += kSyllables[random() % std::size(kSyllables)];
    security.price = 100 + static_cast<int>(random() % 9900);
    securities.push_back(security);
  }
  return securities;
}

int drift(std::mt19937_64& random, int price) {
  const int step = price / 50 + 1;
  price += static_cast<int>(random() % (2 * step + 1)) - step;
  return price < 10 ? 10 : price;
}

int commissionFor(long long amount) {
  return amount < 500000 ? 250 : 500;
}

void writeSpot(std::FILE* out, long lines, std::vector<Security>& securities,
               std::mt19937_64& random) {
  std::fputs(kSpotHeading, out);
  Clock clock;
  for (long n = 0; n < lines; ++n) {
    clock.advance(random);
    Security& s = securities[random() % securities.size()];
    s.price = drift(random, s.price);
    const bool sell = s.held > 0 && random() % 100 < 45;
    long long quantity = 100 * (1 + static_cast<long long>(random() % 10));
    if (sell) quantity = random() % 3 == 0 ? s.held : std::min(quantity, s.held);
    s.held += sell ? -quantity : quantity;
    const long long amount = quantity * s.price;
    const int commission = commissionFor(amount);
    const int tax = commission / 10;
    const long long settlement = sell ? amount - commission - tax : amount + commission + tax;
    std::fprintf(out, "%s,%ld,%d,%s,%s,%s,%s,%s,%lld,%d,%d,%d,%lld,%s\r\n",
                 clock.dateTime().c_str(), 100000 + n, s.code, s.name.c_str(), kSpot,
                 sell ? kSell : kBuy, kTokyo, kTokutei, quantity, s.price, commission, tax,
                 settlement, clock.date(2).c_str());
  }
}

void writeMargin(std::FILE* out, long lines, std::vector<Security>& securities,
                 std::mt19937_64& random) {
  std::fputs(kMarginHeading, out);
  Clock clock;
  std::vector<std::size_t> open;  // securities with an open margin position
  for (long n = 0; n < lines; ++n) {
    clock.advance(random);
    const bool close = !open.empty() && (random() % 2 == 0);
    std::size_t index = 0;
    if (close) {
      const std::size_t pick = random() % open.size();
      index = open[pick];
      open[pick] = open.back();
      open.pop_back();
    } else {
      index = random() % securities.size();
      open.push_back(index);
    }
    Security& s = securities[index];
    const int openPrice = s.price;
    s.price = drift(random, s.price);
    const long long quantity = 100 * (1 + static_cast<long long>(random() % 5));
    const long long amount = quantity * s.price;
    if (close) {
      const int fee = static_cast<int>(quantity / 100) * 11;
      const int interest = -static_cast<int>(random() % 2000);
      const long long profit = (s.price - openPrice) * quantity - fee + interest;
      std::fprintf(out,
                   "%s,%ld,%d,%s,%s,%s,%s,%s,%s,%lld,%d,0,0,%lld,%d,0,0,%d,0,%d,0,0,%lld,%s\r\n",
                   clock.dateTime().c_str(), 500000 + n, s.code, s.name.c_str(), kClosing,
                   kSellToClose, kTokyo, kTokutei, kSeido, quantity, s.price, quantity, openPrice,
                   fee, interest, profit, clock.date(2).c_str());
    } else {
      std::fprintf(out, "%s,%ld,%d,%s,%s,%s,%s,%s,%s,%lld,%d,0,0,%lld,%d,0,0,0,0,0,0,0,%lld,%s\r\n",
                   clock.dateTime().c_str(), 500000 + n, s.code, s.name.c_str(), kOpening,
                   kBuyToOpen, kTokyo, kTokutei, kSeido, quantity, s.price, quantity, s.price,
                   amount, clock.date(2).c_str());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: generate_logs N spot.csv margin.csv [seed]\n");
    return 2;
  }
  const long lines = std::strtol(argv[1], nullptr, 10);
  const std::uint64_t seed = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 20261208;
  std::mt19937_64 random(seed);
  std::vector<Security> securities = makeSecurities(random);

  std::FILE* spot = std::fopen(argv[2], "wb");
  std::FILE* margin = std::fopen(argv[3], "wb");
  if (spot == nullptr || margin == nullptr) {
    std::perror("generate_logs");
    return 1;
  }
  writeSpot(spot, lines, securities, random);
  writeMargin(margin, lines, securities, random);
  const bool ok = std::fclose(spot) == 0 && std::fclose(margin) == 0;
  return ok ? 0 : 1;
}
