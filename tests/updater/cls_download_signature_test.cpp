// The downloader in a program built with a key: a whole body takes the
// target's place only when the signature served beside it holds, and every
// other ending of the check keeps the old archive. Without a key nothing is
// asked for beyond the archive.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/updater/download_fixture.h"
#include "tests/support/fake_signature_verifier.h"

namespace velmora {
namespace {

using Codes = std::vector<std::int32_t>;
const Codes kReadToEnd = {1, 2, 3, 4, 9, 6};
const std::string kSigUrl = kUrl + ".sig";

Ed25519PublicKey keyNumber(unsigned char n)
{
    Ed25519PublicKey key{};
    key.fill(n);
    return key;
}
const Ed25519PublicKey kPublisherKey = keyNumber(7);
const Ed25519PublicKey kOtherKey = keyNumber(8);

// 1000 bytes in two blocks, the second one short.
const std::string kArchive = std::string(512, 'n') + std::string(488, 'w');

FakeResponse archiveResponse()
{
    return {false, "1000", {FakeRead::data(kArchive.substr(0, 512)), FakeRead::data(kArchive.substr(512))}};
}

FakeResponse textResponse(const std::string& text)
{
    return {false, std::to_string(text.size()), {FakeRead::data(text)}};
}

std::string signatureText(const std::string& message, const Ed25519PublicKey& key)
{
    return toBase64(FakeSignatureVerifier::sign(message, key)) + "\n";
}

class SignedDownloadTest : public DownloadFixture {
protected:
    SignedDownloadTest()
    {
        signedDl.entDLFileStatus = dl.entDLFileStatus;
        signedDl.entDLFileDowning = dl.entDLFileDowning;
        files.files[kTarget] = kOldArchive;
        serve(archiveResponse());
    }

    std::int32_t runSigned() { return signedDl.DLFile(kUrl, kTarget); }

    FakeSignatureVerifier verifier;
    Cls_DownLoad signedDl{internet, clock, pump, files, ReleaseCheck{kPublisherKey, verifier, internet}};
};

struct SignatureCase {
    const char* name;
    std::optional<FakeResponse> signature;  // nothing: the URL is refused
    bool accepted;
    bool verified;  // the verifier is asked: the text was a signature
};

void PrintTo(const SignatureCase& c, std::ostream* os) { *os << c.name; }

class SignatureCaseTest : public SignedDownloadTest, public ::testing::WithParamInterface<SignatureCase> {};

TEST_P(SignatureCaseTest, OnlyAHoldingSignatureReplacesTheArchive)
{
    const SignatureCase& c = GetParam();
    if (c.signature)
        serve(*c.signature, kSigUrl);

    const std::int32_t result = runSigned();

    EXPECT_EQ(result, 1000) << "the result counts the bytes written, checked or not";
    EXPECT_EQ(statuses, kReadToEnd);
    EXPECT_EQ(internet.urlsOpened, (std::vector<std::string>{kUrl, kSigUrl}));
    EXPECT_EQ(internet.urlFlags, (std::vector<std::uint32_t>{INTERNET_FLAG_RELOAD, INTERNET_FLAG_RELOAD}));
    EXPECT_EQ(verifier.messages, c.verified ? std::vector<std::string>{kArchive} : std::vector<std::string>{});
    if (c.accepted) {
        EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::Complete);
        EXPECT_EQ(fileAt(kTarget), kArchive);
        EXPECT_EQ(fileAt(kPart), std::nullopt);
    } else {
        EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::SignatureRejected);
        EXPECT_EQ(fileAt(kTarget), kOldArchive) << "the old archive survives a failed check";
        EXPECT_EQ(fileAt(kPart), std::nullopt) << "bytes that failed the check are not kept to go on from";
        EXPECT_TRUE(files.replaced.empty());
    }
    EXPECT_EQ(internet.openHandleCount(), 0u);
    EXPECT_EQ(internet.badCalls, 0);
    EXPECT_EQ(files.openCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, SignatureCaseTest,
    ::testing::Values(
        SignatureCase{"Good", textResponse(signatureText(kArchive, kPublisherKey)), true, true},
        SignatureCase{"GoodInSmallReads",
                      FakeResponse{false, std::nullopt,
                                   {FakeRead::data(signatureText(kArchive, kPublisherKey).substr(0, 10)),
                                    FakeRead::data(signatureText(kArchive, kPublisherKey).substr(10))}},
                      true, true},
        SignatureCase{"Missing", std::nullopt, false, false},
        SignatureCase{"ReadFails", FakeResponse{false, "89", {FakeRead::data("AAAA"), FakeRead::failure()}}, false,
                      false},
        SignatureCase{"CutShort", FakeResponse{false, "89",
                                               {FakeRead::data(signatureText(kArchive, kPublisherKey).substr(0, 40)),
                                                FakeRead::failure()}},
                      false, false},
        SignatureCase{"Malformed", textResponse("not a signature\n"), false, false},
        SignatureCase{"Empty", textResponse(""), false, false},
        SignatureCase{"HugeBody", FakeResponse{false, std::nullopt, std::vector<FakeRead>(100, FakeRead::block(512, 'A'))},
                      false, false},
        SignatureCase{"OtherKey", textResponse(signatureText(kArchive, kOtherKey)), false, true},
        SignatureCase{"TamperedArchive", textResponse(signatureText(kArchive.substr(0, 999) + "x", kPublisherKey)),
                      false, true},
        SignatureCase{"SignatureOfAnEmptyArchive", textResponse(signatureText("", kPublisherKey)), false, true}),
    [](const ::testing::TestParamInfo<SignatureCase>& info) { return std::string(info.param.name); });

TEST_F(SignedDownloadTest, TheSignatureIsFetchedBetweenTheEndOfDataAndTheFinish)
{
    serve(textResponse(signatureText(kArchive, kPublisherKey)), kSigUrl);
    std::vector<std::string> seenAtStatus;
    signedDl.entDLFileStatus = [&](std::int32_t& code) {
        statuses.push_back(code);
        seenAtStatus.push_back(std::to_string(code) + ":" + std::to_string(internet.urlsOpened.size()) + ":"
                               + (fileAt(kTarget) == kArchive ? "new" : "old"));
    };

    runSigned();

    EXPECT_EQ(statuses, kReadToEnd);
    EXPECT_EQ(seenAtStatus.at(4), "9:1:old") << "status 9 comes before the signature is asked for";
    EXPECT_EQ(seenAtStatus.at(5), "6:2:new") << "by status 6 the checked archive stands";
    EXPECT_EQ(std::count(internet.calls.begin(), internet.calls.end(), "InternetOpen"), 2)
        << "the signature comes through a session of its own, with its own limits";
}

TEST_F(SignedDownloadTest, EndingsBeforeAWholeBodyAskForNoSignature)
{
    serve(textResponse(signatureText(kArchive, kPublisherKey)), kSigUrl);
    serve({false, "1000", {FakeRead::data(kArchive.substr(0, 512)), FakeRead::failure()}});
    runSigned();
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::CutOff);

    signedDl.DLFileStop();
    serve(archiveResponse());
    runSigned();
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::Stopped);

    EXPECT_EQ(internet.urlsOpened, (std::vector<std::string>{kUrl, kUrl}));
    EXPECT_TRUE(verifier.messages.empty());
    EXPECT_EQ(fileAt(kTarget), kOldArchive);
}

// The fetch yields after every read as the body does: Stop ends it, the old
// archive stays and the whole part with it; a fetch that outlasts its time
// limit is a failed check.
TEST_F(SignedDownloadTest, TheSignatureFetchYieldsStopsAndHasATimeLimit)
{
    const std::string text = signatureText(kArchive, kPublisherKey);
    const FakeResponse trickled{false, std::nullopt,
                                {FakeRead::data(text.substr(0, 20)), FakeRead::data(text.substr(20, 20)),
                                 FakeRead::data(text.substr(40, 20)), FakeRead::data(text.substr(60))}};
    serve(trickled, kSigUrl);
    const int archiveYields = 2;
    pump.onDoEvents = [&](int call) {
        if (call == archiveYields + 1)
            signedDl.DLFileStop();
    };
    runSigned();
    EXPECT_EQ(statuses, kReadToEnd);
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::Stopped);
    EXPECT_EQ(pump.calls(), archiveYields + 1) << "the fetch ends in the yield the Stop came in";
    EXPECT_EQ(fileAt(kTarget), kOldArchive);
    EXPECT_EQ(fileAt(kPart), kArchive);

    pump.onDoEvents = nullptr;
    serve(archiveResponse());
    serve(trickled, kSigUrl);
    internet.onRead = [this] { clock.advance(4); };
    runSigned();
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::SignatureRejected) << "12 s into a 10 s limit";
    EXPECT_TRUE(verifier.messages.empty());
    EXPECT_EQ(fileAt(kTarget), kOldArchive);
    EXPECT_EQ(internet.openHandleCount(), 0u);
}

// The hash of a large archive takes long: the window is served while it
// runs, and a Stop meanwhile, carried out once it is done, keeps the old
// archive and the bytes that came.
TEST_F(SignedDownloadTest, TheWindowIsServedThroughTheHashAndAStopKeepsTheBytes)
{
    serve(textResponse(signatureText(kArchive, kPublisherKey)), kSigUrl);
    pump.workOnAThread = true;
    std::atomic<bool> hashing{false};
    verifier.whileVerifying = [&] {
        hashing = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    };
    int passesDuringHash = 0;
    pump.onDoEvents = [&](int) {
        if (hashing && ++passesDuringHash == 2)
            signedDl.DLFileStop();
    };
    runSigned();
    EXPECT_GE(passesDuringHash, 4);
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::Stopped);
    EXPECT_EQ(fileAt(kTarget), kOldArchive);
    EXPECT_EQ(fileAt(kPart), kArchive);
    EXPECT_EQ(files.openCount(), 0);
}

TEST_F(SignedDownloadTest, AnUnreadableDownloadFailsWithTheFilesReleased)
{
    serve(textResponse(signatureText(kArchive, kPublisherKey)), kSigUrl);
    files.failRead = true;

    EXPECT_THROW(runSigned(), PlatformError);

    EXPECT_EQ(statuses, (Codes{1, 2, 3, 4, 9})) << "no finish is reported after a failure";
    EXPECT_EQ(fileAt(kTarget), kOldArchive);
    EXPECT_EQ(internet.openHandleCount(), 0u);
    EXPECT_EQ(files.openCount(), 0);
    EXPECT_FALSE(signedDl.isDownloading());
}

TEST_F(SignedDownloadTest, AReplyTooLongForASignatureIsNotReadToItsEnd)
{
    // 50 KiB where 89 bytes belong: reading stops past kMaxSignatureText.
    serve({false, std::nullopt, std::vector<FakeRead>(100, FakeRead::block(512, 'A'))}, kSigUrl);
    runSigned();
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::SignatureRejected);
    const std::size_t archiveReads = 3;  // two blocks and the end
    EXPECT_LE(internet.readSizes.size(), archiveReads + kMaxSignatureText / 512 + 1);
    EXPECT_EQ(internet.openHandleCount(), 0u);
}

TEST_F(SignedDownloadTest, OneInstanceChecksEveryDownloadAfresh)
{
    serve(textResponse(signatureText(kArchive, kOtherKey)), kSigUrl);
    runSigned();
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::SignatureRejected);

    serve(archiveResponse());
    serve(textResponse(signatureText(kArchive, kPublisherKey)), kSigUrl);
    runSigned();
    EXPECT_EQ(signedDl.lastOutcome(), DownloadOutcome::Complete);
    EXPECT_EQ(fileAt(kTarget), kArchive);
}

TEST_F(DownloadFixture, WithoutAKeyNoSignatureIsAskedFor)
{
    files.files[kTarget] = kOldArchive;
    serve(archiveResponse());
    serve(textResponse("not a signature"), kSigUrl);

    run();

    EXPECT_EQ(internet.urlsOpened, std::vector<std::string>{kUrl});
    EXPECT_EQ(dl.lastOutcome(), DownloadOutcome::Complete);
    EXPECT_EQ(fileAt(kTarget), kArchive);
    EXPECT_TRUE(files.readPaths.empty());
}

}  // namespace
}  // namespace velmora
