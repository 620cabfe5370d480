// quillet-sign: makes the Ed25519 key an update feed is signed with, signs update archives, and
// writes the appcast item that offers one. The private key never leaves the maintainer's machine;
// the public key it prints goes into the information dictionary as SUPublicEDKey.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/linux/Ed25519.h"

namespace {

using quillet::ed25519::PrivateKey;

constexpr const char* usage =
    "usage: quillet-sign generate-key PRIVATE_KEY_FILE\n"
    "       quillet-sign public-key PRIVATE_KEY_FILE\n"
    "       quillet-sign sign PRIVATE_KEY_FILE ARCHIVE\n"
    "       quillet-sign item PRIVATE_KEY_FILE ARCHIVE --version V [--short-version S] --url URL\n"
    "                         [--notes-url URL]\n";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path + ": " + std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Failure("cannot read " + path);
    return bytes;
}

PrivateKey readKey(const std::string& path) {
    auto key = PrivateKey::fromPem(readFile(path));
    if (!key) throw Failure(path + " is not an Ed25519 private key (PEM)");
    return std::move(*key);
}

// A new file, readable by its owner only; an existing file or link is never replaced, and a
// file that could not be written completely is removed.
void writeNewPrivateFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) throw Failure(path + " already exists; it was left as it is");
        throw Failure("cannot create " + path + ": " + std::strerror(errno));
    }
    bool written = ::fchmod(fd, 0600) == 0;  // whatever the umask
    for (std::size_t done = 0; written && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    written = written && ::fsync(fd) == 0;
    const int savedErrno = errno;
    written = ::close(fd) == 0 && written;
    if (!written) {
        ::unlink(path.c_str());
        throw Failure("cannot write " + path + ": " + std::strerror(savedErrno));
    }
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string rfc822Now() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", days[utc.tm_wday], utc.tm_mday,
                  months[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::string item(const PrivateKey& key, const std::string& archivePath, const std::vector<std::string>& options) {
    std::optional<std::string> version, shortVersion, url, notesURL;
    for (std::size_t i = 0; i < options.size(); i += 2) {
        if (i + 1 >= options.size()) throw UsageError(options[i] + " needs a value");
        const std::string& value = options[i + 1];
        if (options[i] == "--version") version = value;
        else if (options[i] == "--short-version") shortVersion = value;
        else if (options[i] == "--url") url = value;
        else if (options[i] == "--notes-url") notesURL = value;
        else throw UsageError("unknown option " + options[i]);
    }
    if (!version || version->empty()) throw UsageError("--version is required");
    if (!url || url->rfind("https://", 0) != 0) throw UsageError("--url is required, an https address");
    if (notesURL && notesURL->rfind("https://", 0) != 0) throw UsageError("--notes-url must be an https address");

    const std::string archive = readFile(archivePath);
    const std::string signature = quillet::ed25519::encodeBase64(key.sign(archive));
    const std::string shown = shortVersion.value_or(*version);
    std::ostringstream out;
    out << "<item>\n"
        << "    <title>Version " << xmlEscaped(shown) << "</title>\n"
        << "    <pubDate>" << rfc822Now() << "</pubDate>\n"
        << "    <sparkle:version>" << xmlEscaped(*version) << "</sparkle:version>\n"
        << "    <sparkle:shortVersionString>" << xmlEscaped(shown) << "</sparkle:shortVersionString>\n";
    if (notesURL) out << "    <sparkle:releaseNotesLink>" << xmlEscaped(*notesURL) << "</sparkle:releaseNotesLink>\n";
    out << "    <enclosure url=\"" << xmlEscaped(*url) << "\" length=\"" << archive.size()
        << "\" type=\"application/x-xz\" sparkle:edSignature=\"" << signature << "\"/>\n"
        << "</item>\n";
    return out.str();
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("no command given");
    const std::string& command = args[0];
    if (command == "generate-key" && args.size() == 2) {
        const PrivateKey key = PrivateKey::generate();
        writeNewPrivateFile(args[1], key.pem());
        std::cout << quillet::ed25519::encodeBase64(key.publicKey()) << "\n";
        return 0;
    }
    if (command == "public-key" && args.size() == 2) {
        std::cout << quillet::ed25519::encodeBase64(readKey(args[1]).publicKey()) << "\n";
        return 0;
    }
    if (command == "sign" && args.size() == 3) {
        const PrivateKey key = readKey(args[1]);
        std::cout << quillet::ed25519::encodeBase64(key.sign(readFile(args[2]))) << "\n";
        return 0;
    }
    if (command == "item" && args.size() >= 3) {
        const PrivateKey key = readKey(args[1]);
        std::cout << item(key, args[2], {args.begin() + 3, args.end()});
        return 0;
    }
    throw UsageError("unknown command or wrong number of arguments: " + command);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run({argv + 1, argv + argc});
    } catch (const UsageError& e) {
        std::cerr << "quillet-sign: " << e.what() << "\n" << usage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quillet-sign: " << e.what() << "\n";
        return 1;
    }
}
