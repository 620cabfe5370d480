#include "shared/catalog/UserTemplates.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

#include "shared/catalog/FileTypeCatalog.h"
#include "shared/paths/FilePaths.h"
#include "shared/text/LocalizedStandardCompare.h"

namespace quillet {

namespace {

constexpr size_t kMaximumComponentLength = 255;
constexpr size_t kMaximumRelativePathLength = 4096;

// A name a template (or a folder of templates) may have.
bool isTemplateName(std::string_view name) {
    return !name.empty() && name.size() <= kMaximumComponentLength && name.front() != '.' && name.back() != '~' &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t slash = path.find('/');
        parts.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos) return parts;
        path.remove_prefix(slash + 1);
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

int retryingOpenAt(int dirfd, const char* name, int flags) {
    int fd;
    do {
        fd = ::openat(dirfd, name, flags | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

long openat2Beneath(int root, const std::string& relative, int flags) {
    struct open_how how {};
    how.flags = static_cast<unsigned long long>(flags | O_CLOEXEC);
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    long fd;
    do {
        fd = ::syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The path, relative to the folder open at `root`, that an absolute link target names when it
// lies inside that folder; nothing otherwise. The kernel refuses every absolute link beneath a
// folder, but `ln -s ~/Templates/Letter.odt ~/Templates/Letterhead.odt` stays inside it.
std::optional<std::string> insideTarget(int root, const std::string& relative) {
    const size_t slash = relative.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : relative.substr(0, slash);
    const std::string name = slash == std::string::npos ? relative : relative.substr(slash + 1);
    Descriptor folder(static_cast<int>(openat2Beneath(root, parent, O_PATH | O_DIRECTORY)));
    if (folder.get() < 0) return std::nullopt;
    char target[4096];
    const ssize_t n = ::readlinkat(folder.get(), name.c_str(), target, sizeof target - 1);
    if (n <= 0 || target[0] != '/') return std::nullopt;
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", root);
    char rootPath[4096];
    const ssize_t m = ::readlink(self, rootPath, sizeof rootPath - 1);
    if (m <= 0) return std::nullopt;
    const std::filesystem::path inside =
        standardizedPath(std::string(target, static_cast<size_t>(n)))
            .lexically_relative(std::string(rootPath, static_cast<size_t>(m)));
    if (inside.empty() || inside == "." || *inside.begin() == "..") return std::nullopt;
    return inside.string();
}

// Opens `relative` beneath the folder open at `root`: the kernel refuses any step out of it (a
// "..", a link whose target lies outside). An absolute link on the last step is followed when
// it names a file inside the folder, and the kernel then checks the path it names the same way.
// Where the kernel has no openat2 (before Linux 5.6, or a sandbox that forbids it), the path is
// walked one component at a time and a link anywhere on it is refused, which is stricter but
// never less safe.
int openBeneath(int root, const std::string& relative, int flags, int linksLeft = 8) {
    const long fd = openat2Beneath(root, relative, flags);
    if (fd >= 0) return static_cast<int>(fd);
    if (errno == EXDEV && linksLeft > 0) {
        if (auto inside = insideTarget(root, relative)) return openBeneath(root, *inside, flags, linksLeft - 1);
        errno = EXDEV;
        return -1;
    }
    if (errno != ENOSYS && errno != EPERM) return -1;

    const auto parts = components(relative);
    Descriptor folder(::fcntl(root, F_DUPFD_CLOEXEC, 0));
    if (folder.get() < 0) return -1;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string name(parts[i]);
        Descriptor next(retryingOpenAt(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW));
        if (next.get() < 0) return -1;
        folder = std::move(next);
    }
    return retryingOpenAt(folder.get(), std::string(parts.back()).c_str(), flags | O_NOFOLLOW);
}

Descriptor openFolder(const std::filesystem::path& folder) {
    // The folder itself may be a link (a Templates folder kept on another disk): that is the
    // user's choice of folder, and it is followed.
    int fd;
    do {
        fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

// Whether the link at `relative` leads to a regular file inside the folder. Opened as a path
// only: what it leads to is examined, not opened, so a FIFO behind a link makes nothing wait.
bool linkLeadsToTemplate(int root, const std::string& relative) {
    Descriptor target(openBeneath(root, relative, O_PATH));
    struct stat st {};
    return target.get() >= 0 && ::fstat(target.get(), &st) == 0 && S_ISREG(st.st_mode);
}

// The type of a valid template id whose file is called `name`.
FileTypeDefinition templateTypeNamed(std::string id, std::string_view name) {
    const size_t dot = name.rfind('.');
    // A name whose only dot ends it has no extension: "Notes." is created as "Notes.".
    const bool hasExtension = dot != std::string_view::npos && dot + 1 < name.size();
    return FileTypeDefinition{std::move(id), std::string(hasExtension ? name.substr(0, dot) : name),
                              hasExtension ? std::string(name.substr(dot + 1)) : std::string(),
                              FileTypeCategory::templates, kTemplateSymbolName};
}

struct Scan {
    int root;
    std::filesystem::path folder;
    std::vector<FileTypeDefinition> found;
    std::vector<std::filesystem::path>* folders;
};

void scanFolder(Scan& scan, int folder, const std::string& prefix, size_t depth) {
    if (scan.folders) scan.folders->push_back(prefix.empty() ? scan.folder : scan.folder / prefix);
    Descriptor listing(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    if (listing.get() < 0) return;
    DIR* dir = ::fdopendir(listing.get());
    if (!dir) return;
    listing.release();

    std::vector<std::string> files;
    std::vector<std::string> subfolders;
    while (const struct dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!isTemplateName(name)) continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
        }
        const std::string relative = prefix + std::string(name);
        if (type == DT_REG || (type == DT_LNK && linkLeadsToTemplate(scan.root, relative)))
            files.emplace_back(name);
        // Links to folders are not followed: they could lead out, or round in a circle.
        else if (type == DT_DIR && depth < kTemplateSubfolderDepth)
            subfolders.emplace_back(name);
    }
    ::closedir(dir);

    const auto byName = [](const std::string& a, const std::string& b) { return localizedStandardLess(a, b); };
    std::sort(files.begin(), files.end(), byName);
    std::sort(subfolders.begin(), subfolders.end(), byName);
    for (const auto& name : files) {
        if (scan.found.size() >= kMaximumTemplates) return;
        // Every component passed isTemplateName on the way here: the id is one templateTypeFromID
        // accepts, built without taking it apart again.
        scan.found.push_back(templateTypeNamed(std::string(kTemplateIDPrefix) + prefix + name, name));
    }
    for (const auto& name : subfolders) {
        if (scan.found.size() >= kMaximumTemplates) return;
        Descriptor subfolder(retryingOpenAt(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW));
        if (subfolder.get() >= 0) scanFolder(scan, subfolder.get(), prefix + name + "/", depth + 1);
    }
}

}  // namespace

bool isTemplateTypeID(std::string_view id) { return id.starts_with(kTemplateIDPrefix); }

namespace {

// The relative path of a template id, when every component is a template's name.
std::optional<std::string_view> validRelativePath(std::string_view id) {
    if (!isTemplateTypeID(id)) return std::nullopt;
    id.remove_prefix(kTemplateIDPrefix.size());
    if (id.empty() || id.size() > kMaximumRelativePathLength) return std::nullopt;
    std::string_view rest = id;
    for (size_t count = 1;; ++count) {
        if (count > kTemplateSubfolderDepth + 1) return std::nullopt;
        const size_t slash = rest.find('/');
        // "." and ".." start with a dot, so the name rule refuses them with every hidden name.
        if (!isTemplateName(rest.substr(0, slash))) return std::nullopt;
        if (slash == std::string_view::npos) return id;
        rest.remove_prefix(slash + 1);
    }
}

}  // namespace

std::optional<std::string> templateRelativePath(std::string_view id) {
    if (auto relative = validRelativePath(id)) return std::string(*relative);
    return std::nullopt;
}

std::optional<FileTypeDefinition> templateTypeFromID(std::string_view id) {
    const auto relative = validRelativePath(id);
    if (!relative) return std::nullopt;
    const size_t slash = relative->rfind('/');
    return templateTypeNamed(std::string(id), slash == std::string_view::npos ? *relative : relative->substr(slash + 1));
}

std::string templateGroup(const FileTypeDefinition& type) {
    // Only templateTypeFromID and discovery make types of this category, from valid ids.
    if (type.category != FileTypeCategory::templates || !isTemplateTypeID(type.id)) return {};
    const std::string_view relative = std::string_view(type.id).substr(kTemplateIDPrefix.size());
    const size_t slash = relative.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(relative.substr(0, slash));
}

std::string templateFileName(const FileTypeDefinition& type) {
    return type.fileExtension.empty() ? type.displayName : type.displayName + "." + type.fileExtension;
}

UserTemplates::UserTemplates(std::optional<std::filesystem::path> folder) : folder_(std::move(folder)) {}

std::vector<FileTypeDefinition> UserTemplates::discover(std::vector<std::filesystem::path>* folders) const {
    if (!folder_) return {};
    const Descriptor root = openFolder(*folder_);
    if (root.get() < 0) return {};
    Scan scan{root.get(), *folder_, {}, folders};
    scanFolder(scan, root.get(), "", 0);
    return std::move(scan.found);
}

std::optional<FileTypeDefinition> UserTemplates::type(std::string_view id) const {
    auto type = templateTypeFromID(id);
    if (!type || !folder_) return std::nullopt;
    const Descriptor root = openFolder(*folder_);
    if (root.get() < 0) return std::nullopt;
    const Descriptor file(openBeneath(root.get(), *templateRelativePath(id), O_PATH));
    struct stat st {};
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return type;
}

std::vector<std::string> typeIDs(const std::vector<FileTypeDefinition>& types) {
    std::vector<std::string> ids;
    ids.reserve(types.size());
    for (const auto& type : types) ids.push_back(type.id);
    return ids;
}

std::optional<FileTypeDefinition> creatableFileType(const std::string& id, const UserTemplates& templates) {
    if (const auto* type = fileType(id)) return *type;
    return templates.type(id);
}

int UserTemplates::open(std::string_view id) const {
    const auto relative = templateRelativePath(id);
    if (!relative || !folder_) {
        errno = ENOENT;
        return -1;
    }
    const Descriptor root = openFolder(*folder_);
    if (root.get() < 0) return -1;
    // Non-blocking, so a FIFO put where the template was cannot hold the caller; it is then
    // refused as no regular file.
    Descriptor file(openBeneath(root.get(), *relative, O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) return -1;
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags >= 0) ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    return file.release();
}

}  // namespace quillet
