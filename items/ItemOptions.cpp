#include "items/ItemOptions.h"

std::vector<int> ItemOptions::leads() const { return {}; }

ItemOptions parseItemOptions(std::string_view fields) {
  ItemOptions options;
  options.written = std::string(fields);
  return options;
}

std::string_view optionFieldsOfLine(std::string_view) { return {}; }
