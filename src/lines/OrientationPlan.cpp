#include "lines/OrientationPlan.h"

#include <tiffio.h>

#include "boundary/ModuleLogger.h"

namespace orvex {
namespace {

struct PlanRow {
  bool flipsRows;
  bool mirrorsRows;
  bool deliversColumns;
  severity_level level;
  const char* text;  ///< where the first stored row and its first pixel lie
};

// Indexed by orientation - 1.
const PlanRow kPlans[] = {
    {false, false, false, kLogDetail, "[%s] DoNothing"},
    {false, true, false, kLogMilestone, "[%s] RowFirst_RowFirst"},
    {true, true, false, kLogMilestone, "[%s] RowFirst_RowLast"},
    {true, false, false, kLogMilestone, "[%s] RowFirst_RowLast"},
    {false, false, true, kLogMilestone, "[%s] RowFirst_ColFirst"},
    {true, false, true, kLogMilestone, "[%s] RowFirst_ColLast"},
    {true, true, true, kLogMilestone, "[%s] RowFirst_ColLast"},
    {false, true, true, kLogMilestone, "[%s] RowFirst_ColFirst"},
};

}  // namespace

OrientationPlan::OrientationPlan(size_t index)
    : index_(index),
      flipsRows_(kPlans[index].flipsRows),
      mirrorsRows_(kPlans[index].mirrorsRows),
      deliversColumns_(kPlans[index].deliversColumns) {}

OrientationPlan OrientationPlan::of(uint16_t orientation) {
  const bool known = orientation >= ORIENTATION_TOPRIGHT && orientation <= ORIENTATION_LEFTBOT;
  return OrientationPlan(known ? orientation - size_t{1} : 0);
}

void OrientationPlan::log(const char* operation) const {
  moduleLogger().log(kPlans[index_].level, kPlans[index_].text, operation);
  if (mirrorsRows_) {
    moduleLogger().log(kLogMilestone, "[%s] PerRowBufNeedReverse", operation);
  }
}

}  // namespace orvex
