// TDeferredSetupPackage: a package whose file table is known at once and whose body is decoded
// on a thread of its own, so that a large package (the PRODUCT package: the whole product)
// keeps nobody waiting who only asks what it holds.
//
// The file table lies at the end of the encoded body, so it cannot be read before the body is
// decoded; the build embeds a copy of it beside the package (TCustomSetupPackage's
// FileTableBytes). That copy is checked against the package's header at once (the table must
// fit the declared body) and against the decoded body afterwards (the body must end with
// exactly these bytes); either failure is "Package was corrupted".
//
//   * FileTable and Contains answer at once, on any thread;
//   * Wait, Decoded and the extractions wait for the decoding and then raise whatever it
//     raised (ESetupPackageReadError for a body that does not decode to what the header and
//     the table copy say), every time they are called. The main thread waits dispatching, so
//     the worker's notifications and other instances' requests are served meanwhile.
//   * WaitForEntry hands out one entry's bytes as soon as the decoding has reached its end,
//     before the body's checks: only for a caller that takes back what it made of them when
//     Wait fails afterwards (the extraction of a first installation). The body is decoded in
//     place into memory reserved once, so the bytes handed out stay where they are, whatever
//     the decoding's outcome, as long as the package lives.
//   * The destructor abandons a decoding still running (at its next block of input) and joins
//     the thread: nothing of it outlives the object.
#pragma once

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "base/memory_stream.h"
#include "base/stream.h"
#include "package/setup_package_reader.h"
#include "platform/waitable.h"

namespace nolu {

class TDeferredSetupPackage {
 public:
  // A package decoded already (small packages, or one without a table copy).
  explicit TDeferredSetupPackage(std::unique_ptr<TSetupPackageReader> decoded);
  // Reads the header of `source` and the table copy `table` at once, then decodes `source`
  // from its start on a thread of its own. Raises ESetupPackageReadError (or EReadError, as
  // TSetupPackageReader does) when the header or the table copy is unusable; no thread is
  // left behind then. `source` is read only by that thread from then on.
  TDeferredSetupPackage(std::unique_ptr<TStream> source, std::span<const uint8_t> table);
  ~TDeferredSetupPackage();
  TDeferredSetupPackage(const TDeferredSetupPackage&) = delete;
  TDeferredSetupPackage& operator=(const TDeferredSetupPackage&) = delete;

  const TSetupPackageFileTable& FileTable() const { return table_; }
  bool Contains(StringView name) const { return table_.Find(name) != nullptr; }

  // True once the decoding has ended, whether it succeeded or not. Never waits.
  bool Finished() const;
  // Waits for the decoding; raises its error.
  void Wait() const;
  // The decoded package, after Wait.
  const TSetupPackageReader& Decoded() const;

  // As TCustomSetupPackage's: false at once when the table has no such entry, else after Wait.
  bool Extract(StringView name, std::unique_ptr<TMemoryStream>& stream) const;
  bool ExtractBytes(StringView name, std::span<const uint8_t>& bytes) const;
  // False at once when the table has no such entry; else the entry's bytes once the body is
  // decoded that far, unchecked (see above). Raises the decoding's error when it ended before
  // that. The main thread waits dispatching, as in Wait.
  bool WaitForEntry(StringView name, std::span<const uint8_t>& bytes) const;

 private:
  // One WaitForEntry waiting for the body to reach `end`.
  struct TWaiter {
    uint64_t end;
    TEvent* reached;
  };

  void Decode();
  // On the decoding thread: the body's first `decoded` bytes are final.
  void Advance(const uint8_t* data, size_t decoded);
  // The decoding thread's last word on the waiters: none is left waiting.
  void End();
  // Returns once the body holds `end` bytes or the decoding has ended.
  void WaitForDecoded(uint64_t end) const;

  TSetupPackageFileTable table_;
  Bytes table_copy_;
  std::unique_ptr<TStream> source_;
  // Decoded into by the decoding thread; taken over by decoded_ when all checks passed, kept
  // here otherwise, so that bytes handed out early never move or go.
  TMemoryStream body_;
  std::unique_ptr<TSetupPackageReader> decoded_;
  std::exception_ptr error_;
  std::atomic<const uint8_t*> body_data_{nullptr};
  std::atomic<uint64_t> decoded_size_{0};
  mutable std::mutex waiters_lock_;
  mutable std::vector<TWaiter> waiters_;  // under waiters_lock_
  bool ended_ = false;                    // under waiters_lock_
  std::unique_ptr<TEvent> done_;          // set by the decoding thread as its last step
  std::atomic<bool> abandon_{false};
  std::thread thread_;
};

}  // namespace nolu
