// The analysis flow's program-wide working text.
#pragma once

#include "text/text.h"

namespace qv {

// Empty at start-up; replaced at every step of a click; released at exit.
extern Text g_workText;

}  // namespace qv
