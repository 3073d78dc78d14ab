#pragma once
// The scripted user for QtTest programs: an unexpected question fails the running test
// function, which goes on to its end.

#include <QTest>
#include <QtGlobal>
#include <string>

#include "support/scripted_answers_base.h"

namespace tessaline::testing {

struct QtTestScriptFailure {
    static void Report(const std::string& text) {
        // A script that outlives every test function has no test to fail: end the
        // program instead, so the leftover cannot pass unnoticed.
        if (QTest::currentTestFunction() == nullptr)
            qFatal("%s", text.c_str());
        QTest::qFail(text.c_str(), __FILE__, __LINE__);
    }
};

using ScriptedAnswers = BasicScriptedAnswers<QtTestScriptFailure>;

}  // namespace tessaline::testing
