#include "host/BoundSql.h"

namespace storeadjust {

BoundSql operator+(BoundSql first, const BoundSql& second) {
  first.text += second.text;
  first.values.insert(first.values.end(), second.values.begin(), second.values.end());
  return first;
}

}  // namespace storeadjust
