#pragma once
// A user who is never asked anything: the benchmarks only open and show plain documents.

#include "core/platform/user_answers.h"

namespace tessaline::bench {

using SilentAnswers = CancellingAnswers;

}  // namespace tessaline::bench
