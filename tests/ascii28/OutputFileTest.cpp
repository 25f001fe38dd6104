// The output text file: number formats, line ends, byte-exact strings and the
// pending I/O error code.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

#include "ascii28/BufferedTextFile.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "support/Platform.h"
#include "support/TestSupport.h"

namespace ascii28 {
namespace {

namespace fs = std::filesystem;
using Limits = std::numeric_limits<double>;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeIoError();
    folder_ = testsupport::TempFolder();
  }
  void TearDown() override {
    // Windows removes no read-only file: make every file writable first.
    for (const auto& entry : fs::recursive_directory_iterator(folder_))
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
    fs::remove_all(folder_);
  }
  std::string Path(const char* name) const { return (folder_ / name).string(); }

  // What the given writes put into a file opened and closed around them.
  std::string Render(const std::function<void(BufferedTextFile&)>& writes) {
    file_->Open(Path("out.pcb").c_str());
    writes(*file_);
    file_->Close();
    EXPECT_EQ(TakeIoError(), 0);
    return ReadAll(Path("out.pcb"));
  }
  std::string Fixed(double v, int width) {
    return Render([&](BufferedTextFile& f) { f.WriteFixed(v, width); });
  }
  std::string Scientific(double v) {
    return Render([&](BufferedTextFile& f) { f.WriteScientific(v); });
  }

  fs::path folder_;
  std::unique_ptr<BufferedTextFile> file_ = std::make_unique<BufferedTextFile>();
};

TEST_F(OutputFileTest, IntegersAndCoordinates) {
  EXPECT_EQ(Render([](BufferedTextFile& f) {
              f.WriteInt(-42);
              f.WriteInt(std::numeric_limits<std::int64_t>::min());
              f.WriteUnsigned(std::numeric_limits<std::uint64_t>::max());
              for (Coord c : {-15, 19, -9, std::numeric_limits<Coord>::min()}) {
                f.WriteChar(' ');
                f.WriteCoord(c);
              }
            }),
            "-42-922337203685477580818446744073709551615 -1 1 0 -214748364");
}

TEST_F(OutputFileTest, Fixed) {
  EXPECT_EQ(Fixed(90, 6), "90.000");
  EXPECT_EQ(Fixed(0, 6), " 0.000");
  EXPECT_EQ(Fixed(-45.5, 6), "-45.500");
  EXPECT_EQ(Fixed(7.25, 10), "     7.250");
  EXPECT_EQ(Fixed(9.9996, 6), "10.000");  // stored as 9.99959999..., above the midpoint
  EXPECT_EQ(Fixed(1.0005, 4), "1.000");   // stored as 1.000499...
  EXPECT_EQ(Fixed(0.0625, 4), "0.063");   // exactly halfway: away from zero, not to even
  EXPECT_EQ(Fixed(-2.5625, 6), "-2.563");
  EXPECT_EQ(Fixed(-0.0001, 6), " 0.000");  // nothing but zeros: no minus sign
  const std::string max = Fixed(Limits::max(), 6);
  EXPECT_EQ(max.size(), 309u + 4u);
  EXPECT_EQ(max.substr(max.size() - 8), "8368.000");
  EXPECT_EQ(Fixed(Limits::quiet_NaN(), 6), "   NAN");
  EXPECT_EQ(Fixed(-Limits::infinity(), 6), "  -INF");
}

TEST_F(OutputFileTest, Scientific) {
  EXPECT_EQ(Scientific(200000), " 2.00000000000000E+0005");
  EXPECT_EQ(Scientific(-0.0), " 0.00000000000000E+0000");
  EXPECT_EQ(Scientific(-1.5), "-1.50000000000000E+0000");
  EXPECT_EQ(Scientific(0.1), " 1.00000000000000E-0001");
  EXPECT_EQ(Scientific(9.999999999999999e5), " 1.00000000000000E+0006");  // carry
  EXPECT_EQ(Scientific(100000000000000.5), " 1.00000000000001E+0014");    // exactly halfway
  EXPECT_EQ(Scientific(100000000000000.484375), " 1.00000000000000E+0014");
  EXPECT_EQ(Scientific(Limits::denorm_min()), " 4.94065645841247E-0324");
  EXPECT_EQ(Scientific(Limits::max()), " 1.79769313486232E+0308");
  EXPECT_EQ(Scientific(-Limits::infinity()), std::string(19, ' ') + "-INF");
}

TEST_F(OutputFileTest, BytesAndLinesAsGiven) {
  // A 21-byte host string (length byte and 20 characters) claiming 200,
  // followed by memory that is not part of it.
  std::uint8_t host[40] = {200};
  for (int i = 1; i < 40; ++i) host[i] = static_cast<std::uint8_t>(i <= 20 ? 'A' + i - 1 : '#');
  const std::uint8_t shorter[21] = {3, 'a', 'b', 'c', 'd'};
  const std::uint8_t raw[] = {0x00, 0xE9, 0xFF};
  static constexpr char kExpected[] = "ENDPCB\r\nABCDEFGHIJKLMNOPQRST|abc|\0\xE9\xFF\r\n";
  EXPECT_EQ(Render([&](BufferedTextFile& f) {
              f.Write("ENDPCB");
              f.EndLine();
              f.WriteShortString(host, 20);
              f.WriteChar('|');
              f.WriteShortString(shorter, 20);
              f.WriteChar('|');
              f.WriteBytes(raw, sizeof raw);
              f.EndLine();
            }),
            std::string(kExpected, sizeof kExpected - 1));
}

TEST_F(OutputFileTest, WritesBeyondTheBufferKeepTheirOrder) {
  std::string expected;
  const std::string out = Render([&](BufferedTextFile& f) {
    for (int i = 0; expected.size() < 3 * BufferedTextFile::kBufferSize; ++i) {
      const std::string piece(static_cast<std::size_t>(i % 1500), static_cast<char>('a' + i % 26));
      f.Write(piece);
      f.WriteChar('/');
      expected += piece + '/';
    }
  });
  EXPECT_TRUE(out == expected);
}

TEST_F(OutputFileTest, OpenTruncatesAndReopenWritesOutTheFirst) {
  { std::ofstream(Path("a")) << "old content"; }
  file_->Open(Path("a").c_str());
  file_->Write("one");
  file_->Open(Path("b").c_str());
  file_->Write("two");
  file_->Close();
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(ReadAll(Path("a")) + ReadAll(Path("b")), "onetwo");
}

TEST_F(OutputFileTest, FailedOpenIsPendingUntilTaken) {
  file_->Open(Path("missing/out.pcb").c_str());
  EXPECT_FALSE(file_->IsOpen());
  file_->Write("text");
  file_->Close();  // closing a file that is not open keeps the open's error
  EXPECT_EQ(TakeIoError(), ENOENT);
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_FALSE(fs::exists(Path("missing")));

  file_->Open(Path("missing/out.pcb").c_str());
  file_->Open(folder_.string().c_str());  // a later failure replaces the earlier one
#if defined(_WIN32)
  EXPECT_EQ(TakeIoError(), EACCES);  // Windows refuses a folder as access denied
#else
  EXPECT_EQ(TakeIoError(), EISDIR);
#endif
}

TEST_F(OutputFileTest, FullDeviceFailsAtFlushAndClose) {
  const std::string full = testsupport::FullDevice();
  if (full.empty()) GTEST_SKIP() << "this system has no device that is always full";
  file_->Open(full.c_str());
  file_->Write("ENDPCB");
  EXPECT_EQ(TakeIoError(), 0);  // still in the buffer
  file_->Close();
  EXPECT_EQ(TakeIoError(), ENOSPC);

  file_->Open(full.c_str());
  file_->Write(std::string(BufferedTextFile::kBufferSize + 1, 'x'));
  EXPECT_EQ(TakeIoError(), ENOSPC);
  file_->Close();
}

TEST_F(OutputFileTest, ReadOnlyFileIsNotOpened) {
  { std::ofstream(Path("ro")) << "keep"; }
  fs::permissions(Path("ro"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  if (std::ofstream(Path("ro"), std::ios::app).is_open())
    GTEST_SKIP() << "this user may write read-only files anyway (root, or Wine run by root)";
  file_->Open(Path("ro").c_str());
  EXPECT_FALSE(file_->IsOpen());
  EXPECT_EQ(TakeIoError(), EACCES);
  EXPECT_EQ(ReadAll(Path("ro")), "keep");
}

TEST_F(OutputFileTest, RecordPrefixAndCommonFields) {
  RunState& run = ascii28::Run;  // plain Run would name the fixture's member function
  run.OutputFile.Open(Path("records").c_str());
  run.InComponent = false;
  WriteRecordPrefix();
  run.InComponent = true;
  WriteRecordPrefix();
  WriteCommonFields(1234);
  run.InComponent = false;
  run.OutputFile.Close();
  EXPECT_EQ(ReadAll(Path("records")), "FC0 0 ");
}

}  // namespace
}  // namespace ascii28
