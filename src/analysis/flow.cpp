#include "analysis/work_text.h"

namespace qv {

Text g_workText;

}  // namespace qv
