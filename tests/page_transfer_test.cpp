#include <gtest/gtest.h>

#include <algorithm>

#include "image/header.h"
#include "reader/page_transfer.h"
#include "reader/protocol.h"
#include "support/key_reader_sim.h"

namespace kd::reader {
namespace {

using test::Mixture;
using test::Older;
using test::ServedKey;

TEST(ExtraPageCountTest, KnownCounts) {
  const struct {
    std::uint16_t block_count;
    std::uint32_t extra_pages;
  } cases[] = {{4, 1}, {12, 1}, {13, 2}, {21, 2}, {22, 3}, {100, 11}, {4674, 511}, {4675, 511}, {60000, 511}, {65535, 511}};
  for (const auto& c : cases) EXPECT_EQ(ExtraPageCount(c.block_count), c.extra_pages) << c.block_count;
}

// Every count is either refused (exactly 0 to 3) or fetches the header and all its records, within
// the key, and at most one page more than they need (a whole one when they end on a page boundary).
TEST(ExtraPageCountTest, RefusesExactlyTheCountsBelowFourAndOtherwiseCoversTheRecords) {
  for (std::uint32_t count = 0; count <= 0xFFFF; ++count) {
    const std::uint32_t extra = ExtraPageCount(static_cast<std::uint16_t>(count));
    if (count < 4) {
      EXPECT_GT(extra, kMaxExtraPages) << count;
      continue;
    }
    ASSERT_LE(extra, kMaxExtraPages) << count;
    const std::uint32_t in_use = std::min<std::uint32_t>(76 + 14 * count, kKeyImageSize);
    const std::uint32_t fetched = (extra + 1) * kImagePageSize;
    ASSERT_GE(fetched, in_use) << count;
    ASSERT_LE(fetched - in_use, kImagePageSize) << count;
  }
}

TEST(PageTransferTest, FirstPageIsStoredEvenWhenRefused) {
  const struct {
    std::uint8_t second_signature_byte;
    std::uint16_t block_count;
    PageTransfer::FirstPage expected;
  } cases[] = {
      {0x54, 100, PageTransfer::FirstPage::kNotIdentified},
      {0x55, 0, PageTransfer::FirstPage::kWrongLength},
      {0x55, 3, PageTransfer::FirstPage::kWrongLength},
      {0x55, 4, PageTransfer::FirstPage::kAccepted},
  };
  for (const auto& c : cases) {
    KeyImage served = ServedKey(c.block_count);
    served[1] = c.second_signature_byte;
    KeyImage image = Older(served);
    PageTransfer transfer(image);
    EXPECT_EQ(transfer.TakeFirstPage(std::span(served).first<kImagePageSize>()), c.expected) << c.block_count;
    EXPECT_EQ(image, Mixture(served, Older(served), kImagePageSize)) << c.block_count;
  }
}

// A page that does not come leaves its place as it was, and the next one still goes to its own
// offset; nothing is written once the count is reached.
TEST(PageTransferTest, FurtherPagesGoToTheirOffsetsWhetherOrNotTheOnesBeforeCame) {
  const KeyImage served = ServedKey(90);  // ten further pages
  const KeyImage older = Older(served);
  KeyImage image = older;
  PageTransfer transfer(image);
  ASSERT_EQ(transfer.TakeFirstPage(std::span(served).first<kImagePageSize>()), PageTransfer::FirstPage::kAccepted);
  ASSERT_EQ(transfer.ExtraPages(), 10u);
  const auto page = [&](std::size_t k) { return std::span(served).subspan(k * kImagePageSize).first<kImagePageSize>(); };
  for (std::size_t k = 1; k <= 10; ++k) {
    EXPECT_EQ(transfer.PageNumber(), k);
    EXPECT_FALSE(transfer.Done());
    if (k == 5) {
      transfer.SkipNextPage();
    } else {
      transfer.TakeNextPage(page(k));
    }
  }
  EXPECT_TRUE(transfer.Done());
  EXPECT_EQ(transfer.PageNumber(), 11u);
  transfer.TakeNextPage(page(11));

  KeyImage expected = Mixture(served, older, 11 * kImagePageSize);
  std::copy_n(older.begin() + 5 * kImagePageSize, kImagePageSize, expected.begin() + 5 * kImagePageSize);
  EXPECT_EQ(image, expected);
}

TEST(PageTransferTest, AWholeKeyEndsAtTheImagesEnd) {
  const KeyImage served = ServedKey(60000);
  KeyImage image{};
  PageTransfer transfer(image);
  ASSERT_EQ(transfer.TakeFirstPage(std::span(served).first<kImagePageSize>()), PageTransfer::FirstPage::kAccepted);
  for (std::size_t k = 1; !transfer.Done(); ++k) {
    transfer.TakeNextPage(std::span(served).subspan(k * kImagePageSize).first<kImagePageSize>());
  }
  EXPECT_EQ(transfer.PageNumber(), 512u);
  transfer.TakeNextPage(std::span(served).first<kImagePageSize>());  // one too many: ignored
  EXPECT_EQ(image, served);
}

}  // namespace
}  // namespace kd::reader
