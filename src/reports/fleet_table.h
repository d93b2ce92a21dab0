#pragma once

#include <string>

#include "image/key_image.h"
#include "text_table.h"

namespace kd {

// The fleet table: a header row, then one row per key image with its passport, its duty
// classification and its event summary, all as the Data 1 cells and the summary give them.
TextTable MakeFleetTable();

// Adds the image's row and returns true; or, when Data 1 refuses the image, adds a row with the
// file name and the reason ("Файл не верный !") and returns false.
bool AddFleetRow(TextTable& table, const std::string& file_name, const KeyImage& image);

// Adds a row with the file name and why it has nothing more (a file that cannot be read).
void AddFleetFailure(TextTable& table, const std::string& file_name, const std::string& reason);

namespace fleet {
inline constexpr int kFileColumn = 0;
// The last column: empty, or why the row has nothing but the file name.
int ReasonColumn();
}  // namespace fleet

}  // namespace kd
