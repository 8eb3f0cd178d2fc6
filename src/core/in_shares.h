// Work split over the machine's cores: [0, n) in consecutive shares, each
// share on a thread of its own, the first on the caller's. The shares hold
// nothing in common, so the result is the same however many threads run.
#ifndef HZ2HTML_CORE_IN_SHARES_H_
#define HZ2HTML_CORE_IN_SHARES_H_

#include <cstddef>
#include <thread>
#include <vector>

namespace hz {

// The threads worth starting for the work (at least 1, at most 2: the
// exports share the machine with the book's check).
inline int WorkThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores >= 2 ? 2 : 1;
}

// Calls work(begin, end) for each share of [0, n), at most threads of them.
template <typename Work>
void InShares(size_t n, int threads, Work work) {
  if (threads < 1) threads = 1;
  if (static_cast<size_t>(threads) > n) threads = n == 0 ? 1 : static_cast<int>(n);
  std::vector<std::thread> others;
  const size_t share = (n + static_cast<size_t>(threads) - 1) / static_cast<size_t>(threads);
  for (int t = 1; t < threads; ++t) {
    const size_t begin = share * static_cast<size_t>(t);
    const size_t end = begin + share < n ? begin + share : n;
    if (begin < end) others.emplace_back([&work, begin, end] { work(begin, end); });
  }
  work(0, share < n ? share : n);
  for (std::thread& t : others) t.join();
}

}  // namespace hz

#endif  // HZ2HTML_CORE_IN_SHARES_H_
