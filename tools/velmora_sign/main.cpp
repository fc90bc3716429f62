// velmora-sign keygen KEYFILE
// velmora-sign sign KEYFILE ARCHIVE
// velmora-sign verify PUBLICKEY ARCHIVE
//
// The publisher's signing tool: makes the key pair, signs a release archive
// as the updater checks it (ARCHIVE.sig beside it) and checks a signed one.
// Exits with 0 on success, 1 when a command fails or a signature does not
// hold, 2 for a command line it does not know.
#include <sodium.h>

#include <iostream>
#include <string>
#include <vector>

#include "tools/velmora_sign/sign_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: velmora-sign keygen KEYFILE          make a key pair; print the public key\n"
    "       velmora-sign sign KEYFILE ARCHIVE    write ARCHIVE.sig and check it\n"
    "       velmora-sign verify PUBLICKEY ARCHIVE\n";

int run(const std::vector<std::string>& args)
{
    const std::string command = args.empty() ? "" : args[0];
    if (command == "keygen" && args.size() == 2) {
        velmora::keygenCommand(args[1], std::cout);
        std::cerr << "velmora-sign: private key written to " << args[1]
                  << " (readable by its owner only); the public key above is VELMORA_UPDATE_PUBLIC_KEY\n";
        return 0;
    }
    if (command == "sign" && args.size() == 3) {
        velmora::signCommand(args[1], args[2], std::cout);
        return 0;
    }
    if (command == "verify" && args.size() == 3)
        return velmora::verifyCommand(args[1], args[2], std::cout) ? 0 : 1;
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (sodium_init() < 0) {
        std::cerr << "velmora-sign: libsodium cannot be initialised\n";
        return 1;
    }
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const velmora::SignToolError& error) {
        std::cerr << "velmora-sign: " << error.what() << "\n";
        return 1;
    }
}
