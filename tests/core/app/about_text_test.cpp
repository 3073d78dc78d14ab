#include <gtest/gtest.h>

#include "core/app/about_text.h"

namespace tessaline {
namespace {

TEST(CardsAboutText, LinesInOrderWithEmptyValuesKept) {
    VersionFields f{"1.0", "", "Quillmar", "(C)", "1.0.0", "tess", "Tessaline"};
    EXPECT_EQ(AboutVersionText(f),
              "ProductVersion:\t1.0\nComments:\t\nCompanyName:\tQuillmar\nLegalCopyright:\t(C)\n"
              "FileVersion:\t1.0.0\nInternalName:\ttess\nProductName:\tTessaline\n");
    EXPECT_EQ(AboutVersionText(std::nullopt), "");
}

TEST(CardsAboutText, CompiledFieldsNameTheProduct) {
    VersionFields f = CompiledVersionFields();
    EXPECT_EQ(f.productName, "Tessaline");
    EXPECT_EQ(f.companyName, "Quillmar");
    EXPECT_FALSE(f.productVersion.empty());
}

}  // namespace
}  // namespace tessaline
