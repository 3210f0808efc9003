#pragma once
// What the browser asks of the bill editor when it opens it: a new bill, or the stored bill lsh
// to amend or only to view. The editor keeps whatever follows from it to itself.
#include <string>

namespace storeadjust {

struct EditorRequest {
  enum class Mode { New, Amend, View };
  Mode mode = Mode::New;
  std::string lsh;
};

}  // namespace storeadjust
