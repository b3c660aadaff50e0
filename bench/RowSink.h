// Where the benchmarks put the rows they read: discarded while timing, digested when
// checking that the library and the libtiff baseline deliver the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex_bench {

class RowSink {
public:
  virtual ~RowSink() = default;
  virtual void take(const uint8_t* row, size_t bytes) = 0;
};

/// Keeps the compiler from dropping the reads, and costs nothing else.
class DiscardingSink : public RowSink {
public:
  void take(const uint8_t* row, size_t bytes) override;
};

/// An order-sensitive digest of every byte and every row length.
class DigestSink : public RowSink {
public:
  void take(const uint8_t* row, size_t bytes) override;
  uint64_t digest() const { return digest_; }
  uint64_t rows() const { return rows_; }

private:
  uint64_t digest_ = 0xCBF29CE484222325ULL;
  uint64_t rows_ = 0;
};

}  // namespace orvex_bench
