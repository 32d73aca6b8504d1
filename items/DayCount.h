// Day counts of the item table: whole calendar days between today and each item's date.
#pragma once
#include "framework/Time.h"
#include "items/ItemRecord.h"

class CCore;

// Whole local calendar days from now's date to date's date: positive when date is later, 0 on the
// same day, whatever the times of day and across daylight-saving changes.
int DaysBetween(CTime date, CTime now);

struct ItemOptions;

// Sets days and kind of records 0..count-1 from their date texts and, when given, their options
// (options[i] belongs to records[i]); records from count on are left alone. Reads the clock once,
// and not at all when count is 0.
void countDays(CCore& core, ItemRecord* records, int count, const ItemOptions* options = nullptr);

// The same against a given now, which also fixes the year of yearly dates.
void countDaysAt(CTime now, ItemRecord* records, int count, const ItemOptions* options = nullptr);
