#include "tools/velmora_sign/sign_commands.h"

#include <memory>
#include <optional>

#include "platform/files/byte_file.h"
#include "platform/system/platform_error.h"
#include "platform/system/signature_verifier.h"
#include "tools/velmora_sign/private_file.h"
#include "tools/velmora_sign/signing_key.h"
#include "updater/release_signature.h"

namespace velmora {

namespace {

// The platform's reader, as the updater reads a download; its reason is the
// system's own text.
std::unique_ptr<FileContents> readFile(const std::string& path)
{
    try {
        return localFileSystem().openForReading(path);
    } catch (const PlatformError& error) {
        throw SignToolError("cannot read " + path + ": " + error.reason());
    }
}

// An archive the updater could download: no longer than its 32-bit lengths.
std::unique_ptr<FileContents> readArchive(const std::string& path)
{
    const std::optional<std::uint64_t> size = localFileSystem().sizeOf(path);
    if (size && *size > kMaxReleaseArchiveBytes)
        throw SignToolError(path + " is " + std::to_string(*size) + " bytes, more than the "
                            + std::to_string(kMaxReleaseArchiveBytes) + " the updater can download");
    return readFile(path);
}

SigningKey readSigningKey(const std::string& path)
{
    std::optional<SigningKey> key = SigningKey::fromPem(readFile(path)->bytes());
    if (!key)
        throw SignToolError(path + " is not an Ed25519 private key in PEM form, as velmora-sign keygen and "
                            "openssl genpkey -algorithm ed25519 write it");
    return std::move(*key);
}

// The updater's own check of the signature served beside the archive.
bool signatureHolds(const Ed25519PublicKey& publicKey, const std::string& archive)
{
    const std::string signaturePath = signatureAddress(archive);
    const std::optional<Ed25519Signature> signature = parseSignatureText(readFile(signaturePath)->bytes());
    if (!signature)
        throw SignToolError(signaturePath + " is not a signature: the updater takes the Base64 of 64 bytes");
    return createSignatureVerifier()->verify(readArchive(archive)->bytes(), *signature, publicKey);
}

void writeFile(const std::string& path, const std::string& text)
{
    try {
        const std::unique_ptr<ByteFile> file = localFileSystem().openForWriting(path);
        file->write(text.data(), text.size());
        file->close();
    } catch (const PlatformError& error) {
        throw SignToolError("cannot write " + path + ": " + error.reason());
    }
}

}  // namespace

void keygenCommand(const std::string& keyFile, std::ostream& out)
{
    const SigningKey key = SigningKey::generate();
    writeNewPrivateFile(keyFile, key.pemText());
    out << base64Text(key.publicKey()) << "\n";
}

void signCommand(const std::string& keyFile, const std::string& archive, std::ostream& out)
{
    const SigningKey key = readSigningKey(keyFile);
    const std::string signaturePath = signatureAddress(archive);
    writeFile(signaturePath, base64Text(key.sign(readArchive(archive)->bytes())) + "\n");
    if (!signatureHolds(key.publicKey(), archive))
        throw SignToolError(signaturePath + " was written but does not hold for the key's public half");
    out << "signed " << archive << ": " << signaturePath << " holds for the public key "
        << base64Text(key.publicKey()) << "\n";
}

bool verifyCommand(const std::string& publicKey, const std::string& archive, std::ostream& out)
{
    const std::optional<Ed25519PublicKey> key = parsePublicKeyText(publicKey);
    if (!key)
        throw SignToolError("\"" + publicKey + "\" is not a public key: the Base64 of 32 bytes, 44 characters "
                            "ending in '=', as velmora-sign keygen prints it");
    const bool holds = signatureHolds(*key, archive);
    out << signatureAddress(archive) << (holds ? " holds: the updater takes " : " does not hold: the updater refuses ")
        << archive << "\n";
    return holds;
}

}  // namespace velmora
