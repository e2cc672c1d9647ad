#include "resources/deferred_setup_package.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "base/errors.h"
#include "base/read_only_memory_stream.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_scrambler.h"
#include "platform/fake/fake_platform.h"
#include "resources/testing/fake_setup_data.h"

namespace nolu {
namespace {

using Entries = std::vector<std::pair<String, std::string>>;

Bytes Package(const Entries& entries) {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  for (const auto& [name, content] : entries) {
    TMemoryStream source(Bytes(content.begin(), content.end()));
    builder.Add(source, name);
  }
  TMemoryStream out;
  builder.Commit(out, 0);
  return out.TakeBytes();
}

// Bytes that level 0 cannot shrink much, so that the body takes many blocks of input.
std::string Noise(size_t size) {
  std::string out(size, '\0');
  uint32_t x = 12345;
  for (char& c : out) {
    x = x * 1664525 + 1013904223;
    c = static_cast<char>(x >> 24);
  }
  return out;
}

const Entries kSmall = {{u"Nolu.exe", "MZ player"}, {u"Skins\\Dark.skin", "dark"}};

// The gate of a package source: reads of the body (past the header) stop at the n-th read
// until Open. It outlives the source, which dies with the package.
struct TGate {
  explicit TGate(int block_at) : block_at(block_at) {}
  void Pass() {
    std::unique_lock lock(mutex);
    ++reads;
    if (reads < block_at) return;
    blocked = true;
    changed.notify_all();
    changed.wait(lock, [this] { return open; });
  }
  void Open() {
    std::lock_guard lock(mutex);
    open = true;
    changed.notify_all();
  }
  void WaitUntilBlocked() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return blocked; });
  }
  int Reads() {
    std::lock_guard lock(mutex);
    return reads;
  }

  const int block_at;
  std::mutex mutex;
  std::condition_variable changed;
  int reads = 0;
  bool blocked = false;
  bool open = false;
};

class TGatedSource : public TReadOnlyMemoryStream {
 public:
  TGatedSource(const Bytes& bytes, std::shared_ptr<TGate> gate)
      : TReadOnlyMemoryStream(bytes), gate_(std::move(gate)) {}
  size_t Read(void* buffer, size_t count) override {
    if (Position() >= static_cast<int64_t>(TCustomSetupPackage::kHeaderSize)) gate_->Pass();
    return TReadOnlyMemoryStream::Read(buffer, count);
  }

 private:
  std::shared_ptr<TGate> gate_;
};

std::string Outcome(const std::function<void()>& fn) {
  try {
    fn();
    return "ok";
  } catch (const Exception& e) {
    return StringToUtf8(e.Message());
  }
}

class DeferredSetupPackageTest : public ::testing::Test {
 protected:
  DeferredSetupPackageTest() : scope_(platform_) {}

  // The package decoded in the background from `package`, with `table` as its table copy.
  std::unique_ptr<TDeferredSetupPackage> Open(const Bytes& package, const Bytes& table) {
    return std::make_unique<TDeferredSetupPackage>(std::make_unique<TReadOnlyMemoryStream>(package),
                                                   table);
  }

  TFakePlatform platform_;
  PlatformScope scope_;
};

TEST_F(DeferredSetupPackageTest, LookupsAnswerBeforeTheBodyIsDecoded) {
  const Bytes package = Package(kSmall);
  auto gate = std::make_shared<TGate>(1);
  TDeferredSetupPackage deferred(std::make_unique<TGatedSource>(package, gate),
                                 TFakeSetupData::FileTableOf(package));
  gate->WaitUntilBlocked();

  EXPECT_FALSE(deferred.Finished());
  ASSERT_EQ(deferred.FileTable().Count(), 2);
  EXPECT_EQ(deferred.FileTable().Items(1).Name, u"Skins\\Dark.skin");
  EXPECT_TRUE(deferred.Contains(u"nolu.EXE"));
  EXPECT_FALSE(deferred.Contains(u"Install.xml"));
  std::span<const uint8_t> bytes;
  EXPECT_FALSE(deferred.ExtractBytes(u"Install.xml", bytes));  // no entry: no wait either

  gate->Open();
  ASSERT_TRUE(deferred.ExtractBytes(u"Skins\\dark.skin", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "dark");
  EXPECT_TRUE(deferred.Finished());
}

TEST_F(DeferredSetupPackageTest, TheMainThreadServesSendsWhileItWaits) {
  const Bytes package = Package(kSmall);
  auto gate = std::make_shared<TGate>(1);
  TDeferredSetupPackage deferred(std::make_unique<TGatedSource>(package, gate),
                                 TFakeSetupData::FileTableOf(package));
  // Only a send served during the wait opens the gate: a wait that does not dispatch never ends.
  auto window = platform_.Messages().CreateMessageWindow(u"Test", [&](const TChannelMessage&) {
    gate->Open();
    return 1;
  });
  std::thread sender([&] {
    gate->WaitUntilBlocked();
    platform_.Messages().SendValue(window->Id(), 1, 0);
  });
  std::unique_ptr<TMemoryStream> stream;
  EXPECT_TRUE(deferred.Extract(u"Nolu.exe", stream));
  sender.join();
  EXPECT_EQ(std::string(stream->Data(), stream->Data() + stream->Bytes().size()), "MZ player");
}

TEST_F(DeferredSetupPackageTest, AWorkerThreadWaitsToo) {
  const Bytes package = Package(kSmall);
  auto deferred = Open(package, TFakeSetupData::FileTableOf(package));
  std::string outcome;
  std::thread worker([&] { outcome = Outcome([&] { deferred->Wait(); }); });
  worker.join();
  EXPECT_EQ(outcome, "ok");
  EXPECT_TRUE(deferred->Finished());
}

// What is wrong with the header or the table copy is found at once, before any thread runs.
TEST_F(DeferredSetupPackageTest, AnUnusableHeaderOrTableCopyIsRefusedAtOnce) {
  const Bytes package = Package(kSmall);
  const Bytes table = TFakeSetupData::FileTableOf(package);
  const Bytes bigger = Package({{u"Nolu.exe", std::string(4000, 'x')}});
  struct Case {
    const char* what;
    std::function<void(Bytes& package, Bytes& table)> damage;
    std::string outcome;
  } cases[] = {
      {"magic", [](Bytes& p, Bytes&) { p[0] = 'X'; }, "Package was corrupted"},
      {"header cut short", [](Bytes& p, Bytes&) { p.resize(11); }, "Stream read error"},
      {"empty table copy", [](Bytes&, Bytes& t) { t.clear(); }, "Stream read error"},
      {"table size larger than the copy", [](Bytes&, Bytes& t) { t.erase(t.begin()); },
       "Package was corrupted"},
      {"bytes after the last record",
       [](Bytes&, Bytes& t) {
         t.insert(t.end() - 4, 0);
         t.back()++;
       },
       "Package was corrupted"},
      // An entry past the entry data of the body the header declares.
      {"table of a larger body", [&](Bytes&, Bytes& t) { t = TFakeSetupData::FileTableOf(bigger); },
       "Package was corrupted"},
      {"declared size smaller than the table",
       [](Bytes& p, Bytes&) { p[8] = 4, p[9] = p[10] = p[11] = 0; }, "Package was corrupted"},
  };
  for (const Case& c : cases) {
    Bytes p = package, t = table;
    c.damage(p, t);
    EXPECT_EQ(Outcome([&] { Open(p, t); }), c.outcome) << c.what;
  }
}

// What only the body shows is found by the decoding: lookups went on meanwhile, and every use
// of the contents raises it.
TEST_F(DeferredSetupPackageTest, ACorruptBodyIsReportedByEveryUseOfTheContents) {
  const Bytes package = Package({{u"Nolu.exe", Noise(3000)}, {u"b", "bb"}});
  const Bytes table = TFakeSetupData::FileTableOf(package);
  struct Case {
    const char* what;
    std::function<void(Bytes& package, Bytes& table)> damage;
  } cases[] = {
      {"checksum", [](Bytes& p, Bytes&) { p[5] ^= 0x01; }},
      {"compressed body", [](Bytes& p, Bytes&) { p[p.size() / 2] ^= 0x55; }},
      {"body cut short", [](Bytes& p, Bytes&) { p.resize(p.size() - 40); }},
      // The same layout under other names: only the decoded table shows the difference.
      {"table copy of another package",
       [](Bytes&, Bytes& t) {
         t = TFakeSetupData::FileTableOf(Package({{u"Nolu.dll", Noise(3000)}, {u"c", "cc"}}));
       }},
  };
  for (const Case& c : cases) {
    Bytes p = package, t = table;
    c.damage(p, t);
    auto deferred = Open(p, t);
    EXPECT_EQ(deferred->FileTable().Count(), 2) << c.what;
    EXPECT_EQ(Outcome([&] { deferred->Wait(); }), "Package was corrupted") << c.what;
    EXPECT_TRUE(deferred->Finished()) << c.what;
    std::span<const uint8_t> bytes;
    const String name = deferred->FileTable().Items(0).Name;
    EXPECT_EQ(Outcome([&] { deferred->ExtractBytes(name, bytes); }), "Package was corrupted")
        << c.what;
    std::unique_ptr<TMemoryStream> stream;
    EXPECT_EQ(Outcome([&] { deferred->Extract(name, stream); }), "Package was corrupted") << c.what;
    EXPECT_EQ(stream, nullptr) << c.what;
  }
}

// A small entry first, one that takes many blocks of the body, and a small one after it.
Entries Streamed() {
  return {{u"first.txt", "first"}, {u"noise.bin", Noise(512 * 1024)}, {u"last.txt", "last"}};
}

TEST_F(DeferredSetupPackageTest, WaitForEntry_HandsOutAnEntryOnceTheBodyReachesItsEnd) {
  const Bytes package = Package(Streamed());
  auto gate = std::make_shared<TGate>(3);  // the decoding holds at its third block of input
  TDeferredSetupPackage deferred(std::make_unique<TGatedSource>(package, gate),
                                 TFakeSetupData::FileTableOf(package));
  std::span<const uint8_t> bytes;
  ASSERT_TRUE(deferred.WaitForEntry(u"FIRST.txt", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first");
  EXPECT_FALSE(deferred.Finished());  // held: the rest of the body is not read yet
  EXPECT_FALSE(deferred.WaitForEntry(u"Install.xml", bytes));

  // The last entry needs the held blocks: the wait lasts until the gate opens.
  std::thread opener([&] {
    gate->WaitUntilBlocked();
    gate->Open();
  });
  ASSERT_TRUE(deferred.WaitForEntry(u"last.txt", bytes));
  opener.join();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "last");
  EXPECT_NO_THROW(deferred.Wait());
  // The same bytes, where they were, after the body passed to the decoded package.
  std::span<const uint8_t> checked;
  ASSERT_TRUE(deferred.ExtractBytes(u"last.txt", checked));
  EXPECT_EQ(checked.data(), bytes.data());
}

TEST_F(DeferredSetupPackageTest, WaitForEntry_OfACorruptBody) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char16_t* entry;
    const char* outcome;  // of WaitForEntry: the entry's text, or the error
  } cases[] = {
      // The decoding stops where the bytes end: what lies before is had, unchecked.
      {"truncated, an entry before the cut", [](Bytes& b) { b.resize(b.size() / 2); }, u"first.txt",
       "first"},
      {"truncated, an entry after the cut", [](Bytes& b) { b.resize(b.size() / 2); }, u"last.txt",
       "Package was corrupted"},
      // Decodes to the end: only the checks after it find the damage.
      {"wrong checksum", [](Bytes& b) { b[4] ^= 0x01; }, u"last.txt", "last"},
  };
  for (const Case& c : cases) {
    Bytes package = Package(Streamed());
    const Bytes table = TFakeSetupData::FileTableOf(package);
    c.damage(package);
    auto deferred = Open(package, table);
    std::span<const uint8_t> bytes;
    const std::string outcome = [&] {
      try {
        deferred->WaitForEntry(c.entry, bytes);
        return std::string(bytes.begin(), bytes.end());
      } catch (const Exception& e) {
        return StringToUtf8(e.Message());
      }
    }();
    EXPECT_EQ(outcome, c.outcome) << c.what;
    EXPECT_EQ(Outcome([&] { deferred->Wait(); }), "Package was corrupted") << c.what;
    // Bytes handed out stay readable after the decoding failed, as long as the package lives.
    if (!bytes.empty()) {
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.outcome) << c.what;
    }
  }
}

TEST_F(DeferredSetupPackageTest, DestroyedWhileDecodingItStopsReading) {
  const Bytes package = Package({{u"Nolu.exe", Noise(1024 * 1024)}});
  const int blocks = static_cast<int>(package.size() / kLZMABlockSize);
  ASSERT_GE(blocks, 15);
  auto gate = std::make_shared<TGate>(2);
  auto deferred = std::make_unique<TDeferredSetupPackage>(
      std::make_unique<TGatedSource>(package, gate), TFakeSetupData::FileTableOf(package));
  gate->WaitUntilBlocked();
  std::atomic<bool> destroying{false};
  std::thread destroyer([&] {
    destroying = true;
    deferred.reset();  // returns only once the decoding thread has ended
  });
  while (!destroying)
    std::this_thread::yield();
  gate->Open();
  destroyer.join();
  // Abandoned at its next block, not decoded to the end.
  EXPECT_LT(gate->Reads(), blocks / 2);
}

}  // namespace
}  // namespace nolu
