#pragma once
// The scripted user for QtTest programs: an unexpected question fails the running test
// function, which goes on to its end.

#include <QTest>
#include <string>

#include "support/scripted_answers_base.h"

namespace tessaline::testing {

struct QtTestScriptFailure {
    static void Report(const std::string& text) { QTest::qFail(text.c_str(), __FILE__, __LINE__); }
};

using ScriptedAnswers = BasicScriptedAnswers<QtTestScriptFailure>;

}  // namespace tessaline::testing
