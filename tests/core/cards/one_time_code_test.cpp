#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "core/cards/one_time_code.h"
#include "core/cards/otp_uri.h"
#include "support/case_names.h"

namespace tessaline {
namespace {

// The ASCII secrets of RFC 6238's test vectors in base32: 20, 32 and 64 bytes.
constexpr const char* kSha1Secret = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ";
constexpr const char* kSha256Secret = "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZA";
constexpr const char* kSha512Secret =
    "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQGEZDGNBVGY3"
    "TQOJQGEZDGNA";

struct Vector {
    std::int64_t time;
    const char* sha1;
    const char* sha256;
    const char* sha512;
};

// The published table: 8 digits, 30 seconds.
constexpr Vector kRfcVectors[] = {
    {59, "94287082", "46119246", "90693936"},
    {1111111109, "07081804", "68084774", "25091201"},
    {1111111111, "14050471", "67062674", "99943326"},
    {1234567890, "89005924", "91819424", "93441116"},
    {2000000000, "69279037", "90698825", "38618901"},
    {20000000000, "65353130", "77737706", "47863826"},
};

std::string Address(const char* secret, const char* algorithm) {
    return std::string("otpauth://totp/RFC:test?secret=") + secret + "&algorithm=" + algorithm +
           "&digits=8&period=30";
}

TEST(OneTimeCode, RfcTestVectorsForEveryAlgorithm) {
    for (const Vector& v : kRfcVectors) {
        EXPECT_EQ(OneTimeCodeAt(Address(kSha1Secret, "SHA1"), v.time).code, v.sha1) << v.time;
        EXPECT_EQ(OneTimeCodeAt(Address(kSha256Secret, "SHA256"), v.time).code, v.sha256) << v.time;
        EXPECT_EQ(OneTimeCodeAt(Address(kSha512Secret, "SHA512"), v.time).code, v.sha512) << v.time;
    }
}

TEST(OneTimeCode, ABareSecretIsSha1SixDigitsThirtySeconds) {
    // The last six digits of the 8-digit SHA-1 vectors; lower case and spaces are allowed.
    const OneTimeCode code = OneTimeCodeAt(" gezd gnbv gy3t qojq gezd gnbv gy3t qojq ", 59);
    EXPECT_EQ(code.error, "");
    EXPECT_EQ(code.code, "287082");
    EXPECT_EQ(code.period, 30);
    EXPECT_EQ(code.secondsLeft, 1);
    EXPECT_EQ(OneTimeCodeAt(kSha1Secret, 1111111109).code, "081804");
    EXPECT_EQ(OneTimeCodeAt(kSha1Secret, 1111111109).secondsLeft, 1);
}

TEST(OneTimeCode, SecondsLeftCountDownToTheNextPeriod) {
    struct Case {
        std::int64_t period, time, left;
    } cases[] = {{30, 0, 30}, {30, 1, 29}, {30, 29, 1}, {30, 30, 30}, {60, 59, 1}, {7, 15, 6}};
    for (const Case& c : cases)
        EXPECT_EQ(SecondsLeftInPeriod(c.period, c.time), c.left) << c.period << " " << c.time;
    // The code changes exactly when the seconds run out.
    const std::string uri = "otpauth://totp/x?secret=JBSWY3DPEHPK3PXP&period=45";
    EXPECT_EQ(OneTimeCodeAt(uri, 90).code, OneTimeCodeAt(uri, 134).code);
    EXPECT_NE(OneTimeCodeAt(uri, 134).code, OneTimeCodeAt(uri, 135).code);
    EXPECT_EQ(OneTimeCodeAt(uri, 134).secondsLeft, 1);
}

// --- What the field may hold -------------------------------------------------------

struct ReadCase {
    const char* what;
    std::string text;
    std::string error;  // a part of the message; empty when the text is accepted
};

class OtpTextReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(OtpTextReading, AcceptsOrSaysWhy) {
    const ReadCase& c = GetParam();
    const OtpReading got = ReadOtpText(c.text);
    if (c.error.empty()) {
        EXPECT_TRUE(got.settings) << got.error;
        EXPECT_EQ(OneTimeCodeAt(c.text, 59).error, "");
    } else {
        EXPECT_FALSE(got.settings);
        EXPECT_NE(got.error.find(c.error), std::string::npos) << got.error;
        // No code comes out of a text that cannot be read, and the message travels on.
        const OneTimeCode code = OneTimeCodeAt(c.text, 59);
        EXPECT_EQ(code.code, "");
        EXPECT_EQ(code.error, got.error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, OtpTextReading,
    ::testing::Values(
        ReadCase{"bare secret", "JBSWY3DPEHPK3PXP", ""},
        ReadCase{"address in capitals", "OTPAUTH://TOTP/X?SECRET=JBSWY3DPEHPK3PXP&DIGITS=7", ""},
        ReadCase{"padded secret", "otpauth://totp/x?secret=MZXW6%3D%3D%3D", ""},
        ReadCase{"no label", "otpauth://totp?secret=JBSWY3DPEHPK3PXP", ""},
        ReadCase{"unknown entries ignored", "otpauth://totp/x?secret=JBSWY3DP&image=a.png&x", ""},
        ReadCase{"not base32", "JBSWY3DP1", "not base32"},
        ReadCase{"not base32 in an address", "otpauth://totp/x?secret=AB%2FC", "not base32"},
        ReadCase{"empty", "   ", "secret is empty"},
        ReadCase{"empty secret in an address", "otpauth://totp/x?secret=", "secret is empty"},
        ReadCase{"no secret", "otpauth://totp/x?issuer=Bank", "has no secret"},
        ReadCase{"five digits", "otpauth://totp/x?secret=JBSWY3DP&digits=5", "6 to 8 digits"},
        ReadCase{"nine digits", "otpauth://totp/x?secret=JBSWY3DP&digits=9", "6 to 8 digits"},
        ReadCase{"digits not a number", "otpauth://totp/x?secret=JBSWY3DP&digits=6x",
                 "6 to 8 digits"},
        ReadCase{"period 0", "otpauth://totp/x?secret=JBSWY3DP&period=0", "period"},
        ReadCase{"negative period", "otpauth://totp/x?secret=JBSWY3DP&period=-30", "period"},
        ReadCase{"huge period", "otpauth://totp/x?secret=JBSWY3DP&period=99999999999", "period"},
        ReadCase{"unknown algorithm", "otpauth://totp/x?secret=JBSWY3DP&algorithm=MD5",
                 "\"MD5\" is not known"},
        ReadCase{"counter based", "otpauth://hotp/x?secret=JBSWY3DP&counter=1",
                 "Counter-based one-time codes (otpauth://hotp/) are not supported"},
        ReadCase{"another kind", "otpauth://steam/x?secret=JBSWY3DP", "\"steam\" is not a kind"},
        ReadCase{"another scheme", "https://example.com/?secret=JBSWY3DP", "otpauth://"}),
    tessaline::testing::CaseName<ReadCase>);

TEST(OtpUri, ReadsLabelIssuerAndSettings) {
    const OtpReading got = ReadOtpText(
        "otpauth://totp/ACME%20Co:john.doe%40email.com?secret=HXDMVJECJJWSRB3HWIZR4IFUGFTMXBOZ"
        "&issuer=ACME+Co&algorithm=sha256&digits=7&period=60");
    ASSERT_TRUE(got.settings) << got.error;
    EXPECT_EQ(got.settings->issuer, "ACME Co");
    EXPECT_EQ(got.settings->account, "john.doe@email.com");
    EXPECT_EQ(got.settings->secret, "HXDMVJECJJWSRB3HWIZR4IFUGFTMXBOZ");
    EXPECT_EQ(got.settings->algorithm, OtpAlgorithm::Sha256);
    EXPECT_EQ(got.settings->digits, 7);
    EXPECT_EQ(got.settings->period, 60);
}

TEST(OtpUri, BuiltAddressesReadBackTheSameAndEncodeEveryOddCharacter) {
    OtpSettings s;
    s.secret = "jbsw y3dp ehpk 3pxp";
    s.issuer =
        "Bank & Co: Gr\xC3\xBC\xC3\x9F"
        "e";
    s.account = "ann?x=1#frag";
    s.algorithm = OtpAlgorithm::Sha512;
    s.digits = 8;
    s.period = 45;
    const std::string uri = BuildOtpUri(s);
    EXPECT_EQ(uri,
              "otpauth://totp/Bank%20%26%20Co%3A%20Gr%C3%BC%C3%9Fe:ann%3Fx%3D1%23frag"
              "?secret=JBSWY3DPEHPK3PXP&issuer=Bank%20%26%20Co%3A%20Gr%C3%BC%C3%9Fe"
              "&algorithm=SHA512&digits=8&period=45");
    const OtpReading back = ReadOtpText(uri);
    ASSERT_TRUE(back.settings) << back.error;
    EXPECT_EQ(back.settings->issuer, s.issuer);
    EXPECT_EQ(back.settings->account, s.account);
    EXPECT_EQ(back.settings->algorithm, s.algorithm);
    EXPECT_EQ(back.settings->digits, 8);
    EXPECT_EQ(back.settings->period, 45);
    // The same codes as the bare secret with those settings.
    EXPECT_EQ(TotpCode(*back.settings, 1'700'000'000), TotpCode(s, 1'700'000'000));
    // Without an issuer the label is the account alone.
    OtpSettings plain;
    plain.secret = "JBSWY3DP";
    plain.account = "me";
    EXPECT_EQ(BuildOtpUri(plain),
              "otpauth://totp/me?secret=JBSWY3DP&algorithm=SHA1&digits=6&period=30");
}

// What the set-up takes: an address as typed, a bare secret named after the card.
TEST(OtpUri, TheFieldFromWhatTheUserTyped) {
    struct Case {
        const char* typed;
        const char* issuer;
        const char* account;
        std::string field;  // empty: refused with error
        std::string error;
    } cases[] = {
        {" jbsw y3dp ", "Bank", "ann",
         "otpauth://totp/Bank:ann?secret=JBSWY3DP&issuer=Bank"
         "&algorithm=SHA1&digits=6&period=30",
         ""},
        {"JBSWY3DP", "Bank", "",
         "otpauth://totp/Bank?secret=JBSWY3DP&issuer=Bank"
         "&algorithm=SHA1&digits=6&period=30",
         ""},
        {"JBSWY3DP", "Bank", "Bank",
         "otpauth://totp/Bank?secret=JBSWY3DP&issuer=Bank"
         "&algorithm=SHA1&digits=6&period=30",
         ""},
        {"JBSWY3DP", "", "", "otpauth://totp/?secret=JBSWY3DP&algorithm=SHA1&digits=6&period=30",
         ""},
        {" otpauth://totp/Other:x?secret=JBSWY3DP&digits=8 ", "Bank", "ann",
         "otpauth://totp/Other:x?secret=JBSWY3DP&digits=8", ""},
        {"otpauth://totp/x?secret=JBSWY3DP&period=0", "Bank", "ann", "", "period"},
        {"JBSWY3DP0", "Bank", "ann", "", "not base32"},
    };
    for (const Case& c : cases) {
        const OtpField got = OtpFieldFromTyped(c.typed, c.issuer, c.account);
        EXPECT_EQ(got.text, c.field) << c.typed;
        if (c.error.empty())
            EXPECT_EQ(got.error, "") << c.typed;
        else
            EXPECT_NE(got.error.find(c.error), std::string::npos) << got.error;
    }
}

// --- Against oathtool, for secrets nobody chose ----------------------------------------

std::string RunOathtool(const std::string& arguments) {
    const std::string command = "oathtool " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "(oathtool could not be started)";
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        out += buffer;
    const int status = pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    if (status != 0)
        return "(oathtool failed: " + out + "; install Debian's oathtool)";
    return out;
}

TEST(OneTimeCode, SameCodesAsOathtoolForRandomSecrets) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    const char* algorithms[] = {"SHA1", "SHA256", "SHA512"};
    for (int round = 0; round < 12; ++round) {
        // 16 to 103 base32 characters: 10 to 64 bytes, padding or not.
        const std::size_t length = 16 + random() % 88;
        std::string secret;
        for (std::size_t i = 0; i < length; ++i)
            secret.push_back(alphabet[random() % alphabet.size()]);
        // Whole bytes only: a length of 1, 3 or 6 characters over a block is not base32.
        const std::size_t rest = secret.size() % 8;
        if (rest == 1 || rest == 3 || rest == 6)
            secret.pop_back();
        const char* algorithm = algorithms[round % 3];
        const int digits = 6 + static_cast<int>(random() % 3);
        const int period = 1 + static_cast<int>(random() % 120);
        const std::int64_t time = static_cast<std::int64_t>(random() % 4'000'000'000ull);
        const std::string uri = "otpauth://totp/r?secret=" + secret + "&algorithm=" + algorithm +
                                "&digits=" + std::to_string(digits) +
                                "&period=" + std::to_string(period);
        const std::string expected = RunOathtool(
            std::string("--totp=") + algorithm + " -b -d " + std::to_string(digits) + " -s " +
            std::to_string(period) + "s -N @" + std::to_string(time) + " " + secret);
        const OneTimeCode got = OneTimeCodeAt(uri, time);
        EXPECT_EQ(got.code, expected) << uri << " at " << time;
        EXPECT_EQ(got.code.size(), static_cast<std::size_t>(digits)) << uri;
    }
}

}  // namespace
}  // namespace tessaline
