// One anniversary as a fixed 80-byte record, and the fixed table that holds them.
#pragma once
#include <cstdint>

enum DayKind : int32_t { Upcoming = 0, Today = 1, Past = 2, Unreadable = 3 };

constexpr int kNameSize = 51;      // 50 bytes of GBK text and the terminating zero
constexpr int kDateTextSize = 21;  // 20 bytes of text and the terminating zero
constexpr int kTableRecords = 100;

struct ItemRecord {
  char name[kNameSize];
  char dateText[kDateTextSize];
  int32_t days;
  int32_t kind;  // a DayKind
};
static_assert(sizeof(ItemRecord) == 80, "the item table's layout is fixed");

constexpr int kItemTableBytes = kTableRecords * static_cast<int>(sizeof(ItemRecord));  // 8000
