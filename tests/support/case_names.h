#pragma once
// Readable names for the rows of a GoogleTest table: the letters and digits of the row's
// `what`, then its place in the table (so two rows never share a name).

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace tessaline::testing {

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* p = info.param.what; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p)))
            name += *p;
    return name + "_" + std::to_string(info.index);
}

}  // namespace tessaline::testing
