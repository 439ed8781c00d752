#include "board_io/board_error.h"

#include <cstdio>

std::string BoardError::to_string() const {
  std::string where;
  auto add = [&where](std::string part) {
    if (!where.empty()) where += ", ";
    where += part;
  };
  if (line > 0) add("line " + std::to_string(line));
  if (column > 0) add("column " + std::to_string(column));
  if (stack >= 0) add("stack " + std::to_string(stack));
  return where.empty() ? what : where + ": " + what;
}

std::string describe_byte(char byte) {
  auto const code = static_cast<unsigned char>(byte);
  if (byte == '\t') return "a tab";
  if (byte == ' ') return "a space";
  if (code > 0x20 && code < 0x7f) return std::string("'") + byte + "'";
  char hex[16];
  std::snprintf(hex, sizeof hex, "byte 0x%02X", code);
  return hex;
}
