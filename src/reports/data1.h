#pragma once

#include <array>
#include <string>
#include <string_view>

#include "image/key_image.h"
#include "load_spectrum.h"
#include "text_table.h"

namespace kd {

// The Data 1 report: the key's passport and load statistics, 35 rows of a label and a value.
// Each row is named here, in the order the report shows them.
enum class Data1Row {
  kCraneName,  // typed by the user
  kGap1,
  kInstallDate,
  kReadDate,
  kFormatVersion,
  kLimiterId,
  kBlockCount,
  kCyclesQ1,
  kCyclesQ2,
  kCyclesQ3,
  kCyclesQ4,
  kCyclesQ5,
  kTotalCycles,
  kCharacteristicNumber,
  kKp,
  kCraneClass,
  kCraneMode,
  kCraneGroup,
  kLoadTimeQ1,
  kLoadTimeQ2,
  kLoadTimeQ3,
  kLoadTimeQ4,
  kLoadTimeQ5,
  kTotalLoadTime,
  kKm,
  kMechanismClass,
  kMechanismMode,
  kMechanismGroup,
  kLoadRatio,
  kLiftingCapacity,
  kEngineHours,
  kLastOverloadHour,
  kGap2,
  kSignature,  // typed by the user
  kDate,       // the day the program started
};

namespace data1 {
inline constexpr int kRows = 35;
inline constexpr int kColumns = 2;
inline constexpr int kLabelColumn = 0;
inline constexpr int kValueColumn = 1;
}  // namespace data1

// The table row of a named row.
constexpr int RowOf(Data1Row row) { return static_cast<int>(row); }

// What a row's value is made from at each fill.
struct Data1Source {
  const KeyImage& image;
  const LoadSpectrum& spectrum;
  std::string_view decimal_separator;
};

// One row of the report: its label, and how its value is made from the image. Rows without a
// way (the crane name, the signature, the date, the gaps) get their value at creation or from
// the user, and a fill never touches them.
struct Data1RowSpec {
  Data1Row id;
  const char* label;
  std::string (*value)(const Data1Source&);
};

// Every row, in table order (the table row of kData1Rows[i] is i).
extern const std::array<Data1RowSpec, data1::kRows> kData1Rows;

// "2024-03-07".
std::string DateText(int year, int month, int day);

// The crane name a fresh start shows until the user types one.
inline constexpr const char* kDefaultCraneName = "0289";

// The table as the window creates it: every label, the crane name "0289", the signature
// "Фамилия И.О." and `date` (the day the program started); the values from the image empty.
TextTable MakeData1Table(const std::string& date);

// Fills the values made from the image and returns true, or returns false and changes nothing
// when the image is not a Data 1 image. Labels and the rows the user or the creation gives are
// never touched, so the user's crane name and signature survive every fill. Reals are written
// with `decimal_separator` for their decimal point.
bool FillData1(TextTable& table, const KeyImage& image, std::string_view decimal_separator);

// The value cells the user types (the crane name and the signature).
inline constexpr std::array<CellPosition, 2> kData1UserTypedCells = {{
    {data1::kValueColumn, RowOf(Data1Row::kCraneName)},
    {data1::kValueColumn, RowOf(Data1Row::kSignature)},
}};

// A row's value as the table holds it.
const std::string& Data1Value(const TextTable& table, Data1Row row);
void SetData1Value(TextTable& table, Data1Row row, std::string text);

}  // namespace kd
