// What the file a page was printed to says about the print, on small disks
// of the test's own: a full disk, a folder that takes nothing, or the
// renderer; and which files are left.
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/browser/pdf_file_qt.h"
#include "tests/platform/files/private_mounts.h"
#include "tests/support/test_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Entered before any thread starts.
const std::string kNoPrivateMounts = enterPrivateMountNamespace();

constexpr std::size_t kRoomy = 1024 * 1024;
const std::string kWholePdf = "%PDF-1.4\n" + std::string(200, ' ') + "\n%%EOF\n";

// What the PDF engine leaves on a disk it fills: a file cut off where the
// disk refused more.
void fillWithCutOffPdf(const fs::path& file)
{
    std::ofstream out(file, std::ios::binary);
    out << "%PDF-1.4\n";
    const std::string block(4096, 'x');
    while (out.write(block.data(), block.size()) && out.flush()) {
    }
}

TEST(PdfFileFailure, TellsAFullDiskAFolderThatTakesNothingAndTheRenderer)
{
    if (!kNoPrivateMounts.empty())
        GTEST_SKIP() << "this system lets the test mount no file system of its own: " << kNoPrivateMounts;
    const fs::path folder = test::testPath("pdf-file");
    const fs::path file = folder / "网页.pdf";
    const struct {
        const char* what;
        std::function<void()> leave;
        FailureClass failureClass;
        bool fileKept;
    } cases[] = {
        {"a disk the file filled", [&] { mountTmpfs(folder, 64 * 1024); fillWithCutOffPdf(file); },
         FailureClass::DiskFull, false},
        {"a folder that takes no file", [&] { mountTmpfs(folder, kRoomy); remountReadOnly(folder); },
         FailureClass::NoWritePermission, false},
        {"a file cut off with room to spare",
         [&] { mountTmpfs(folder, kRoomy); std::ofstream(file, std::ios::binary) << "%PDF-1.4\n1 0 obj"; },
         FailureClass::Unclassified, false},
        {"a whole file, the renderer having failed",
         [&] { mountTmpfs(folder, kRoomy); std::ofstream(file, std::ios::binary) << kWholePdf; },
         FailureClass::Unclassified, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directories(folder);
        c.leave();
        const PlatformError failure = pdfFileFailure(QString::fromStdString(file.string()));
        EXPECT_EQ(failure.failureClass(), c.failureClass);
        EXPECT_EQ(failure.action(), "打印网页失败");
        EXPECT_EQ(fs::exists(file), c.fileKept);
        unmount(folder);
        fs::remove_all(folder);
    }
}

}  // namespace
}  // namespace velmora
