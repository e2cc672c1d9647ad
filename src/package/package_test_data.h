// Deterministic inputs for the package tests: bytes that compress like program files (runs of
// text, repeats at varying distances, some noise), so that the match finder, the dictionary
// and the range coder are all exercised.
#pragma once

#include <cstdint>
#include <filesystem>

#include "base/memory_stream.h"
#include "base/text.h"

namespace nolu::testing {

Bytes MixedBytes(size_t size, uint32_t seed = 1);

// A file system path as the system's text (what TFileStream takes).
String PathToString(const std::filesystem::path& path);

// A stream that accepts `limit` bytes in all, then accepts no more (a full disk).
class TLimitedStream : public TMemoryStream {
 public:
  explicit TLimitedStream(size_t limit) : limit_(limit) {}
  size_t Write(const void* buffer, size_t count) override;

 private:
  size_t limit_;
};

// A stream whose reads or writes raise after `after` bytes.
class TFailingStream : public TMemoryStream {
 public:
  TFailingStream(nolu::Bytes bytes, size_t after)
      : TMemoryStream(std::move(bytes)), after_(after) {}
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;

 private:
  size_t after_;
  size_t moved_ = 0;
};

// An entire package file around a decoded body that the test made by hand: header with the
// body's checksum and size, body compressed at level 0 and scrambled with the default key.
Bytes PackageAround(const Bytes& body);

}  // namespace nolu::testing
