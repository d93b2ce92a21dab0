#include "writers.h"

namespace kd {

namespace {

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
}

}  // namespace

std::string WriteHtml(const TextTable& table, std::string_view title) {
  std::string out =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">\r\n"
      "<html>\r\n<head>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n<title>";
  AppendEscaped(out, title);
  out +=
      "</title>\r\n"
      "<style type=\"text/css\">\r\n"
      "table { border-collapse: collapse; font-family: Tahoma, sans-serif; font-size: 8pt; }\r\n"
      "td, th { border: 1px solid silver; padding: 2px 4px; text-align: left; white-space: pre; }\r\n"
      "</style>\r\n</head>\r\n<body>\r\n"
      "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"2\">\r\n";
  for (int row = 0; row < table.RowCount(); ++row) {
    const char* tag = row < table.FixedRows() ? "th" : "td";
    out += "<tr>";
    for (int column = 0; column < table.ColCount(); ++column) {
      out += '<';
      out += tag;
      out += '>';
      AppendEscaped(out, table.GetCellEx(column, row));
      out += "</";
      out += tag;
      out += '>';
    }
    out += "</tr>\r\n";
  }
  out += "</table>\r\n</body>\r\n</html>\r\n";
  return out;
}

}  // namespace kd
