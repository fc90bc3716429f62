// The updater window in a program built with a key: the status line it ends
// on for each way the release check can end, and what stands at the target.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include "tests/updater/form3_fixture.h"
#include "tests/support/fake_signature_verifier.h"

namespace velmora::test {
namespace {

const std::string kOld = "the old archive";
const std::string kNew = std::string(512, 'n') + "ew";
const std::string kRejected = "连接状态： 校验失败：文件未通过签名验证，未替换原文件";

Ed25519PublicKey keyNumber(unsigned char n)
{
    Ed25519PublicKey key{};
    key.fill(n);
    return key;
}

FakeResponse served(const std::string& bytes)
{
    return {false, std::to_string(bytes.size()), {FakeRead::data(bytes)}};
}

struct CheckCase {
    const char* id;
    FakeResponse archive;
    std::optional<FakeResponse> signature;
    std::string finalStatus;
    std::string archiveAtEnd;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.id; }

std::vector<CheckCase> checkCases()
{
    const std::string good = toBase64(FakeSignatureVerifier::sign(kNew, keyNumber(1))) + "\n";
    const std::string byOther = toBase64(FakeSignatureVerifier::sign(kNew, keyNumber(2)));
    const std::string overOther = toBase64(FakeSignatureVerifier::sign(kNew + "!", keyNumber(1)));
    return {
        {"Good", served(kNew), served(good), "连接状态： 下载完成", kNew},
        {"Missing", served(kNew), std::nullopt, kRejected, kOld},
        {"Malformed", served(kNew), served("<html>404</html>"), kRejected, kOld},
        {"OtherKey", served(kNew), served(byOther), kRejected, kOld},
        {"Tampered", served(kNew), served(overOther), kRejected, kOld},
        {"CutOffBeforeTheCheck", FakeResponse{false, "9999", {FakeRead::data(kNew)}}, served(good),
         "连接状态： 下载被中止", kOld},
    };
}

class Form3CheckTest : public Form3Test, public ::testing::WithParamInterface<CheckCase> {
protected:
    void SetUp() override
    {
        Form3Test::SetUp();
        context.updateKey = keyNumber(1);
        platform.makeVerifier = [this] {
            auto made = std::make_unique<FakeSignatureVerifier>();
            verifier = made.get();
            return made;
        };
        files.files[kTargetPath] = kOld;
    }

    FakeSignatureVerifier* verifier = nullptr;  // owned by the window
};

TEST_P(Form3CheckTest, TheStatusLineSaysWhetherTheArchiveWasReplaced)
{
    const CheckCase& c = GetParam();
    Form3& f = open();
    net->respond(archiveUrl(), c.archive);
    if (c.signature)
        signatureNet->respond(archiveUrl() + ".sig", *c.signature);

    f.Command1().click();

    ASSERT_GE(statusLabels.size(), 2u);
    EXPECT_EQ(statusLabels[statusLabels.size() - 2], "连接状态： 连接服务器") << "status 9 still comes first";
    EXPECT_EQ(statusLabels.back(), c.finalStatus);
    EXPECT_EQ(f.Label5().text().toStdString(), c.finalStatus);
    EXPECT_EQ(files.files[kTargetPath], c.archiveAtEnd);
    EXPECT_TRUE(f.Command1().isEnabled());
    EXPECT_TRUE(failures.reports.empty());
}

INSTANTIATE_TEST_SUITE_P(Checks, Form3CheckTest, ::testing::ValuesIn(checkCases()),
                         [](const auto& info) { return std::string(info.param.id); });

// The archive may take as long as it needs; its signature, fetched while the
// window waits for the verdict, is held to its own short limits.
TEST_F(Form3CheckTest, TheArchiveAndItsSignatureAreFetchedEachWithinItsOwnLimits)
{
    open();
    ASSERT_EQ(platform.internetLimits.size(), 2u);
    EXPECT_EQ(platform.internetLimits[0], kDownloadLimits) << "the archive's session, made first";
    EXPECT_EQ(platform.internetLimits[1], kSignatureLimits) << "the signature's session";
}

TEST_F(Form3CheckTest, TheRefusalFitsTheStatusLine)
{
    Form3& f = open();
    net->respond(archiveUrl(), served(kNew));
    f.Command1().click();
    ASSERT_EQ(f.Label5().text().toStdString(), kRejected);
    EXPECT_LE(f.Label5().fontMetrics().horizontalAdvance(f.Label5().text()), f.Label5().width())
        << "a user who cannot read the end of it does not learn that the old archive is kept";
}

TEST_F(Form3Test, AProgramWithoutAKeyAsksForNoSignature)
{
    platform.makeVerifier = []() -> std::unique_ptr<SignatureVerifier> {
        ADD_FAILURE() << "no verifier is made without a key";
        return nullptr;
    };
    Form3& f = open();
    net->respond(archiveUrl(), served(kNew));
    f.Command1().click();
    EXPECT_EQ(net->urlsOpened, std::vector<std::string>{archiveUrl()});
    EXPECT_EQ(f.Label5().text().toStdString(), "连接状态： 下载完成");
}

}  // namespace
}  // namespace velmora::test
