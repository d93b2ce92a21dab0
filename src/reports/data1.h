#pragma once

#include <string>
#include <string_view>

#include "image/key_image.h"
#include "text_table.h"

namespace kd {

// The Data 1 report: the key's passport and load statistics, 35 rows of a label and a value.
namespace data1 {
inline constexpr int kRows = 35;
inline constexpr int kColumns = 2;
inline constexpr int kCraneNameRow = 0;
inline constexpr int kSignatureRow = 33;
inline constexpr int kDateRow = 34;
inline constexpr int kFirstFilledRow = 2;
inline constexpr int kLastFilledRow = 31;
}  // namespace data1

// "2024-03-07".
std::string DateText(int year, int month, int day);

// The table as the window creates it: every label, the crane name "0289", the signature
// "Фамилия И.О." and `date` (the day the program started); the values of rows 2 to 31 empty.
TextTable MakeData1Table(const std::string& date);

// Fills the values of rows 2 to 31 from the image and returns true, or returns false and changes
// nothing when the image is not a Data 1 image. Labels and rows 0, 1, 32 to 34 are never touched,
// so the user's crane name and signature survive every fill. Reals are written with
// `decimal_separator` for their decimal point.
bool FillData1(TextTable& table, const KeyImage& image, std::string_view decimal_separator);

}  // namespace kd
