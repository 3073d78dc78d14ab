#pragma once
// The scripted user for GoogleTest programs: an unexpected question adds a failure to the
// running test.

#include <gtest/gtest.h>

#include <string>

#include "support/scripted_answers_base.h"

namespace tessaline::testing {

struct GTestScriptFailure {
    static void Report(const std::string& text) { ADD_FAILURE() << text; }
};

using ScriptedAnswers = BasicScriptedAnswers<GTestScriptFailure>;

}  // namespace tessaline::testing
