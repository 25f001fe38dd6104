// The output text file: number formats, line ends, byte-exact strings and the
// pending I/O error code.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
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

namespace ascii28 {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "ascii28-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override { TakeIoError(); }

  // What the given writes put into a file, opened and closed around them.
  std::string Render(const std::function<void(BufferedTextFile&)>& writes) {
    const std::string path = folder_.File("out.pcb");
    file_->Open(path.c_str());
    EXPECT_TRUE(file_->IsOpen());
    writes(*file_);
    file_->Close();
    EXPECT_EQ(TakeIoError(), 0);
    return ReadAll(path);
  }
  std::string Fixed(double value, int width) {
    return Render([&](BufferedTextFile& f) { f.WriteFixed(value, width); });
  }
  std::string Scientific(double value) {
    return Render([&](BufferedTextFile& f) { f.WriteScientific(value); });
  }

  ScratchFolder folder_;
  std::unique_ptr<BufferedTextFile> file_ = std::make_unique<BufferedTextFile>();
};

TEST_F(OutputFileTest, IntegersAndCoordinates) {
  const std::string out = Render([](BufferedTextFile& f) {
    f.WriteInt(0);
    f.WriteChar(' ');
    f.WriteInt(-42);
    f.WriteChar(' ');
    f.WriteInt(std::numeric_limits<std::int64_t>::min());
    f.WriteChar(' ');
    f.WriteUnsigned(std::numeric_limits<std::uint64_t>::max());
    f.EndLine();
    for (Coord c : {-15, 19, -9, 10, -10, std::numeric_limits<Coord>::min(),
                    std::numeric_limits<Coord>::max()}) {
      f.WriteCoord(c);
      f.WriteChar(' ');
    }
  });
  EXPECT_EQ(out,
            "0 -42 -9223372036854775808 18446744073709551615\r\n"
            "-1 1 0 1 -1 -214748364 214748364 ");
}

TEST_F(OutputFileTest, FixedWidthAndPadding) {
  EXPECT_EQ(Fixed(90, 6), "90.000");
  EXPECT_EQ(Fixed(0, 6), " 0.000");
  EXPECT_EQ(Fixed(-45.5, 6), "-45.500");
  EXPECT_EQ(Fixed(5, 4), "5.000");
  EXPECT_EQ(Fixed(7.25, 10), "     7.250");
  EXPECT_EQ(Fixed(3, 0), "3.000");
  EXPECT_EQ(Fixed(3, -5), "3.000");
  EXPECT_EQ(Fixed(1e20, 6), "100000000000000000000.000");
}

TEST_F(OutputFileTest, FixedRounding) {
  // 9.9996 is stored as 9.99959999..., still above the midpoint.
  EXPECT_EQ(Fixed(9.9996, 6), "10.000");
  EXPECT_EQ(Fixed(9.9994, 6), " 9.999");
  // Decided by the stored value: 1.0005 is 1.000499..., 0.9995 is 0.999500...05.
  EXPECT_EQ(Fixed(1.0005, 4), "1.000");
  EXPECT_EQ(Fixed(0.9995, 4), "1.000");
  // Exactly halfway: away from zero, not to even.
  EXPECT_EQ(Fixed(0.0625, 4), "0.063");
  EXPECT_EQ(Fixed(-2.5625, 6), "-2.563");
  EXPECT_EQ(Fixed(999.9995117187500, 4), "1000.000");  // 999 + 8191/8192, not halfway
  EXPECT_EQ(Fixed(99.9375, 4), "99.938");
  // Nothing left but zeros: no minus sign.
  EXPECT_EQ(Fixed(-0.0001, 6), " 0.000");
  EXPECT_EQ(Fixed(-0.0, 4), "0.000");
}

TEST_F(OutputFileTest, FixedExtremes) {
  const std::string max = Fixed(std::numeric_limits<double>::max(), 6);
  ASSERT_EQ(max.size(), 309u + 4u);
  EXPECT_EQ(max.substr(0, 17), "17976931348623157");
  EXPECT_EQ(max.substr(max.size() - 8), "8368.000");
  EXPECT_EQ(Fixed(-std::numeric_limits<double>::max(), 6).substr(0, 3), "-17");
  EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN(), 6), "   NAN");
  EXPECT_EQ(Fixed(std::numeric_limits<double>::infinity(), 4), " INF");
  EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity(), 6), "  -INF");
}

TEST_F(OutputFileTest, Scientific) {
  EXPECT_EQ(Scientific(200000), " 2.00000000000000E+0005");
  EXPECT_EQ(Scientific(0), " 0.00000000000000E+0000");
  EXPECT_EQ(Scientific(-0.0), " 0.00000000000000E+0000");
  EXPECT_EQ(Scientific(-1.5), "-1.50000000000000E+0000");
  EXPECT_EQ(Scientific(0.1), " 1.00000000000000E-0001");
  EXPECT_EQ(Scientific(123456789012345678.0), " 1.23456789012346E+0017");
  // The rounding carries into a new leading digit.
  EXPECT_EQ(Scientific(9.999999999999999e5), " 1.00000000000000E+0006");
  // Exactly halfway goes away from zero; just below it goes down.
  EXPECT_EQ(Scientific(100000000000000.5), " 1.00000000000001E+0014");
  EXPECT_EQ(Scientific(-100000000000000.5), "-1.00000000000001E+0014");
  EXPECT_EQ(Scientific(100000000000000.484375), " 1.00000000000000E+0014");
  EXPECT_EQ(Scientific(std::numeric_limits<double>::denorm_min()), " 4.94065645841247E-0324");
  EXPECT_EQ(Scientific(std::numeric_limits<double>::max()), " 1.79769313486232E+0308");
  EXPECT_EQ(Scientific(std::numeric_limits<double>::quiet_NaN()), std::string(20, ' ') + "NAN");
  EXPECT_EQ(Scientific(-std::numeric_limits<double>::infinity()), std::string(19, ' ') + "-INF");
}

TEST_F(OutputFileTest, LinesAndBytesAreWrittenAsGiven) {
  const std::uint8_t raw[] = {0x00, 0xE9, 0xFF, '\n'};
  const std::string out = Render([&](BufferedTextFile& f) {
    f.Write("PCB FILE 6 VERSION 2.80");
    f.EndLine();
    f.WriteBytes(raw, sizeof raw);
    f.WriteChar('\x80');
    f.EndLine();
    f.Write("ENDPCB");
    f.EndLine();
  });
  static constexpr char kExpected[] = "PCB FILE 6 VERSION 2.80\r\n\0\xE9\xFF\n\x80\r\nENDPCB\r\n";
  EXPECT_EQ(out, std::string(kExpected, sizeof kExpected - 1));
}

TEST_F(OutputFileTest, ShortStringsAreReadOnlyWithinTheirBuffer) {
  // A 21-byte host buffer (length byte and 20 characters) claiming 200
  // characters, followed by memory that is not part of it.
  std::uint8_t memory[40];
  memory[0] = 200;
  for (int i = 1; i < 40; ++i) memory[i] = i <= 20 ? static_cast<std::uint8_t>('A' + i - 1) : '#';
  std::uint8_t shorter[21] = {3, 'a', 'b', 'c', 'd'};
  std::uint8_t empty[21] = {0, 'x'};
  const std::string out = Render([&](BufferedTextFile& f) {
    f.WriteShortString(memory, 20);
    f.WriteChar('|');
    f.WriteShortString(shorter, 20);
    f.WriteChar('|');
    f.WriteShortString(empty, 20);
    f.WriteChar('|');
  });
  EXPECT_EQ(out, "ABCDEFGHIJKLMNOPQRST|abc||");
}

TEST_F(OutputFileTest, WritesBeyondTheBufferKeepTheirOrder) {
  std::string expected;
  const std::string out = Render([&](BufferedTextFile& f) {
    for (int i = 0; expected.size() < 3 * BufferedTextFile::kBufferSize + 7; ++i) {
      const std::string piece(static_cast<std::size_t>(i % 1500), static_cast<char>('a' + i % 26));
      f.Write(piece);
      f.WriteChar('/');
      expected += piece + '/';
    }
    const std::string big(BufferedTextFile::kBufferSize + 100, 'Z');
    f.Write(big);
    expected += big;
  });
  EXPECT_EQ(out.size(), expected.size());
  EXPECT_TRUE(out == expected);
}

TEST_F(OutputFileTest, OpenTruncatesAndReopenKeepsTheFirstFile) {
  const std::string first = folder_.File("first.pcb");
  const std::string second = folder_.File("second.pcb");
  { std::ofstream(first) << "old content that is longer"; }
  file_->Open(first.c_str());
  file_->Write("one");
  file_->Open(second.c_str());  // closes the first, writing out what it held
  file_->Write("two");
  file_->Close();
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(ReadAll(first), "one");
  EXPECT_EQ(ReadAll(second), "two");
}

TEST_F(OutputFileTest, MissingFolderLeavesTheFileClosed) {
  const std::string path = folder_.File("missing/out.pcb");
  file_->Open(path.c_str());
  EXPECT_FALSE(file_->IsOpen());
  EXPECT_EQ(TakeIoError(), ENOENT);
  EXPECT_EQ(TakeIoError(), 0);  // taking it clears it

  file_->Write("text");
  file_->WriteFixed(1, 6);
  file_->EndLine();
  file_->Close();
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(OutputFileTest, AnErrorStaysUntilTakenAndALaterOneReplacesIt) {
  file_->Open(folder_.File("missing/out.pcb").c_str());
  const std::string good = folder_.File("good.pcb");
  file_->Open(good.c_str());  // success does not clear the pending error
  file_->Write("x");
  file_->Close();
  file_->Open(folder_.File("").c_str());  // a folder
  EXPECT_EQ(TakeIoError(), EISDIR);
  EXPECT_EQ(ReadAll(good), "x");
}

TEST_F(OutputFileTest, FullDeviceFailsAtFlushAndClose) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  file_->Open("/dev/full");
  ASSERT_TRUE(file_->IsOpen());
  file_->Write("ENDPCB");
  file_->EndLine();
  EXPECT_EQ(TakeIoError(), 0);  // still in the buffer
  file_->Close();
  EXPECT_EQ(TakeIoError(), ENOSPC);
  EXPECT_FALSE(file_->IsOpen());

  // More than a buffer's worth fails before the close.
  file_->Open("/dev/full");
  file_->Write(std::string(BufferedTextFile::kBufferSize + 1, 'x'));
  EXPECT_EQ(TakeIoError(), ENOSPC);
  file_->Close();
  TakeIoError();
}

TEST_F(OutputFileTest, ReadOnlyFileIsNotOpened) {
  const std::string path = folder_.File("readonly.pcb");
  { std::ofstream(path) << "keep"; }
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  if (access(path.c_str(), W_OK) == 0) GTEST_SKIP() << "privileged user may write anyway";
  file_->Open(path.c_str());
  EXPECT_FALSE(file_->IsOpen());
  EXPECT_EQ(TakeIoError(), EACCES);
  EXPECT_EQ(ReadAll(path), "keep");
}

TEST_F(OutputFileTest, RecordPrefixAndCommonFields) {
  // Inside a fixture, plain Run names the test's own member function.
  RunState& run = ascii28::Run;
  const std::string path = folder_.File("records.pcb");
  run.OutputFile.Open(path.c_str());
  run.InComponent = false;
  WriteRecordPrefix();
  run.OutputFile.Write("V");
  run.OutputFile.EndLine();
  run.InComponent = true;
  WriteRecordPrefix();
  run.OutputFile.Write("V");
  run.OutputFile.EndLine();
  WriteCommonFields(1234);
  run.InComponent = false;
  run.OutputFile.Close();
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(ReadAll(path), "FV\r\nCV\r\n0 0 ");
}

}  // namespace
}  // namespace ascii28
