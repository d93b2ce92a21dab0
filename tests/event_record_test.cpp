#include "image/event_record.h"

#include <gtest/gtest.h>

#include <numeric>

#include "support/event_image.h"

namespace kd {
namespace {

KeyImage WithBlockCount(std::uint16_t count) {
  KeyImage image{};
  test::SetBlockCount(image, count);
  return image;
}

// Puts 14 bytes of values first, first + 1, ... at `offset`.
void Mark(KeyImage& image, std::size_t offset, std::uint8_t first) {
  std::iota(image.begin() + static_cast<std::ptrdiff_t>(offset), image.begin() + static_cast<std::ptrdiff_t>(offset + 14), first);
}

TEST(EventRecordTest, CountIsBlockCountUpToTheRecordsThatFit) {
  const std::pair<std::uint16_t, std::size_t> cases[] = {{0, 0}, {1, 1}, {3, 3}, {4674, 4674}, {4675, 4675}, {4676, 4675}, {65535, 4675}};
  for (auto [block_count, records] : cases) {
    EXPECT_EQ(EventRecordCount(WithBlockCount(block_count)), records) << block_count;
  }
}

// Record 3 straddles the first page boundary (118..131); the last record ends at 65,525.
TEST(EventRecordTest, RecordsRunAcrossPagesToTheLastThatFits) {
  KeyImage image{};
  Mark(image, 118, 10);
  Mark(image, 65512, 100);
  image[65526] = 0xEE;  // past the last record: never read

  const EventRecord third(image, 3);
  EXPECT_EQ(third.EventDate().first, 10);
  EXPECT_EQ(third.EventDate().second, 11);
  EXPECT_EQ(third.EventTime().hour, 12);
  EXPECT_EQ(third.EventTime().minute, 13);
  EXPECT_EQ(third.EventTime().second, 14);
  EXPECT_EQ(third.Period(), (std::array<std::uint8_t, 3>{15, 16, 17}));
  EXPECT_EQ(third.L1Code(), 18 + 19 * 256);  // bytes 126 and 127
  EXPECT_EQ(third.L2Code(), 20 + 21 * 256);  // bytes 128 and 129, on the next page
  EXPECT_EQ(third.ControlInputs(), 22);
  EXPECT_EQ(third.StatusBits(), 23);

  const EventRecord last(image, 4674);
  EXPECT_EQ(last.EventDate().first, 100);
  EXPECT_EQ(last.StatusBits(), 113);
  EXPECT_THROW(EventRecord(image, 4675), std::out_of_range);
}

TEST(EventRecordTest, CodesAreLittleEndianAndNotBcd) {
  KeyImage image{};
  image[76 + 8] = 0x34;
  image[76 + 9] = 0x12;
  image[76 + 10] = 0xFF;
  image[76 + 11] = 0xFF;
  image[76 + 0] = 0x17;
  const EventRecord record(image, 0);
  EXPECT_EQ(record.L1Code(), 4660);
  EXPECT_EQ(record.L2Code(), 65535);
  EXPECT_EQ(record.EventDate().first, 23);
}

}  // namespace
}  // namespace kd
