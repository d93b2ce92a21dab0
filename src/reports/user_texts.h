#pragma once

namespace kd {

// What the program tells the user about files and reports, in the window and on the command line
// alike. The blanks are part of the texts.
namespace texts {
inline constexpr const char* kCannotOpenFile = "Файл не удается открыть !";
inline constexpr const char* kWrongFile = "Файл не верный !";
inline constexpr const char* kCannotCreateFile = "Не удается создать файл !";
// Why a report or a save may not replace a file.
inline constexpr const char* kIsTheKeyImage = "это файл образа ключа";
}  // namespace texts

// The longest crane name or signature the user can type.
inline constexpr int kEditLimit = 255;

// What names one of the two reports.
struct ReportNames {
  int number;             // 1 or 2, in the export dialogs' titles
  const char* title;      // the report menu, an HTML page's title, a worksheet's name
  const char* file_stem;  // the export dialogs' initial file name
};

inline constexpr ReportNames kData1Names{1, "Отчет N1", "Отчет_N1"};
inline constexpr ReportNames kData2Names{2, "Отчет N2", "Отчет_N2"};

}  // namespace kd
