#pragma once
// A look at the bytes of a Shift_JIS margin log for the trade types of deliveries, before the
// log is read: a log without one needs no second reading for them.

#include <span>

#include "input/log_bytes.hpp"

namespace tradepl::detail {

// Whether a Shift_JIS log may hold a delivery, by a look at its bytes alone: most margin
// logs hold none, and then need no second reading. Each delivery's trade type is 現 or 品
// (8C BB, 95 69) and then 引, 受 or 渡; the second bytes, BB and 69, are rare enough in a log
// that a search for them costs little more than the reading of its bytes. A name that holds
// one of the words only costs that second reading, which then finds no delivery.
bool mayHoldDelivery(LogBytes& bytes, std::span<char> buffer);

}  // namespace tradepl::detail
