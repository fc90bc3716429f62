// The release check end to end below the window: the libcurl backend against
// the loopback server, real Ed25519 through the platform's library, and real
// files, where an older archive stands at the target.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/files/byte_file.h"
#include "platform/system/clock.h"
#include "tests/platform/http/http_backend_fixture.h"
#include "tests/support/fake_message_pump.h"
#include "tests/support/test_folder.h"
#include "tests/support/test_signer.h"
#include "updater/cls_download.h"

namespace velmora {
namespace {

using loopback::ScriptedReply;
using test::TestSigner;

const std::string kOldArchive = "the archive that stood there before";
const std::string kArchive = patternBytes(0, 5000);

std::optional<std::string> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ServedCase {
    const char* name;
    ScriptedReply archive;
    std::optional<ScriptedReply> signature;  // nothing: the server's 404
    bool accepted;
    std::string served = kArchive;  // the archive's bytes in the reply
};

void PrintTo(const ServedCase& c, std::ostream* os) { *os << c.name; }

const TestSigner& publisher()
{
    static const TestSigner signer(0x42);
    return signer;
}

std::vector<ServedCase> servedCases()
{
    const TestSigner other(0x17);
    std::string tampered = kArchive;
    tampered[4321] = static_cast<char>(tampered[4321] ^ 0x20);
    const std::string good = publisher().signatureText(kArchive);
    // Well past any prefix a check might stop at, in reads of every size.
    const std::string large = patternBytes(0, 300 * 1024 + 7);
    std::string largeLastByte = large;
    largeLastByte.back() = static_cast<char>(largeLastByte.back() ^ 1);
    const std::string largeGood = publisher().signatureText(large);
    return {
        {"Good", ScriptedReply::response(200, kArchive), ScriptedReply::response(200, good), true},
        {"GoodChunkedWithoutLength", ScriptedReply::chunked(200, {kArchive.substr(0, 999), kArchive.substr(999)}),
         ScriptedReply::chunked(200, {good.substr(0, 20), good.substr(20)}), true},
        {"NoSignature", ScriptedReply::response(200, kArchive), std::nullopt, false},
        {"SignatureServerError", ScriptedReply::response(200, kArchive), ScriptedReply::error(500), false},
        {"SignatureCutOff", ScriptedReply::response(200, kArchive),
         ScriptedReply().send(loopback::responseHead(200, {{"Content-Length", "89"}}) + good.substr(0, 30)).reset(),
         false},
        {"Malformed", ScriptedReply::response(200, kArchive), ScriptedReply::response(200, "PGh0bWw+\n"), false},
        {"OtherKey", ScriptedReply::response(200, kArchive),
         ScriptedReply::response(200, other.signatureText(kArchive)), false},
        {"TamperedArchive", ScriptedReply::response(200, tampered), ScriptedReply::response(200, good), false},
        {"GoodLarge", ScriptedReply::response(200, large), ScriptedReply::response(200, largeGood), true, large},
        {"LargeWithItsLastByteChanged", ScriptedReply::response(200, largeLastByte),
         ScriptedReply::response(200, largeGood), false, largeLastByte},
    };
}

class SignedDownloadHttpTest : public HttpBackendTest, public ::testing::WithParamInterface<ServedCase> {
protected:
    SignedDownloadHttpTest()
    {
        std::filesystem::create_directories(folder);
        std::ofstream(target, std::ios::binary) << kOldArchive;
        dl.entDLFileStatus = [this](std::int32_t& code) { statuses.push_back(code); };
    }
    ~SignedDownloadHttpTest() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    const std::filesystem::path folder = velmora::test::testPath("velmora-signed");
    const std::filesystem::path target = folder / "Velmora1.0.zip";
    const std::unique_ptr<SignatureVerifier> verifier = createSignatureVerifier();
    FakeMessagePump pump;
    const std::unique_ptr<Internet> signatureInternet = createInternet(kSignatureLimits);
    Cls_DownLoad dl{*internet, systemClock(), pump, localFileSystem(),
                    ReleaseCheck{publisher().publicKey(), *verifier, *signatureInternet}};
    std::vector<std::int32_t> statuses;
};

TEST_P(SignedDownloadHttpTest, TheArchiveIsReplacedOnlyWhenItsSignatureHolds)
{
    const ServedCase& c = GetParam();
    server.script("/velmora.zip", c.archive);
    if (c.signature)
        server.script("/velmora.zip.sig", *c.signature);

    const std::int32_t result = dl.DLFile(server.url("/velmora.zip"), target.string(), 5000);

    EXPECT_EQ(result, static_cast<std::int32_t>(c.served.size()));
    EXPECT_EQ(statuses, (std::vector<std::int32_t>{1, 2, 3, 4, 9, 6}));
    const auto sigRequest = server.waitForRequest("/velmora.zip.sig", std::chrono::seconds(5));
    ASSERT_TRUE(sigRequest);
    EXPECT_EQ(sigRequest->header("User-Agent"), "VB Http");
    if (c.accepted) {
        EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
        EXPECT_TRUE(fileBytes(target) == c.served);
        EXPECT_FALSE(std::filesystem::exists(partFilePath(target.string())));
    } else {
        EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::SignatureRejected);
        EXPECT_EQ(fileBytes(target), kOldArchive);
        EXPECT_FALSE(std::filesystem::exists(partFilePath(target.string())));
    }
}

INSTANTIATE_TEST_SUITE_P(Served, SignedDownloadHttpTest, ::testing::ValuesIn(servedCases()),
                         [](const ::testing::TestParamInfo<ServedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora
