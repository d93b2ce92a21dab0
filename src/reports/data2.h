#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/key_image.h"
#include "text_table.h"

namespace kd {

// The Data 2 report: the event log, a fixed header row, then row i + 1 for event record i,
// eleven text columns.
namespace data2 {
inline constexpr int kColumns = 11;
}  // namespace data2

// What one channel's load cells take from the header; the same for every row of one show.
struct LoadScale {
  std::int32_t zero_code = 0;
  // One per cent of the lifting capacity: the capacity halved as an integer, times 0.02.
  float CapacityPercentUnit = 0.0f;
  // Sensor code per unit of load; 0 when the header gives a zero divisor for it.
  float ChannelSlope = 0.0f;
};

// Channel 1 is L1, channel 2 is L2.
LoadScale ChannelLoadScale(const KeyImage& image, int channel);

struct LoadScales {
  LoadScale l1;
  LoadScale l2;
};
LoadScales EventLoadScales(const KeyImage& image);

// A record's code as a whole percentage of the lifting capacity, truncated toward zero; negative
// for a reading below the zero code. Empty when the header gives a zero divisor (no slope, a
// capacity below 2) or the percentage does not fit 32 bits.
std::optional<std::int32_t> LoadPercent(std::uint16_t code, const LoadScale& scale);

// A load cell: three digits at least, a minus before them for a negative load, and "---" where
// there is no percentage.
std::string LoadText(std::optional<std::int32_t> percent);

// The table as the window creates it: the header row with its texts, nothing under it.
TextTable MakeData2Table();

// The table's rows for this image: the header and one per record that the image holds.
int Data2RowCount(const KeyImage& image);

// Writes every cell of row i + 1 from event record i. The row must exist.
void FillEventRow(TextTable& table, const KeyImage& image, const LoadScales& scales, int i);

// Rebuilds the rows under the header from the image: the row count, then every cell of every
// record row. The header row is left as it is. The window and keydecoder-cli both fill through
// this, so a file holds what the window shows.
void FillData2(TextTable& table, const KeyImage& image);

}  // namespace kd
