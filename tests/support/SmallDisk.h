#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace quillet::test {

// Mounts a private tmpfs of `bytes` over `folder` for this (child) process alone: its own mount
// namespace, so nothing outside sees it and it goes away with the process. False without the
// privilege to do so.
inline bool mountSmallDisk(const std::filesystem::path& folder, size_t bytes) {
    if (::unshare(CLONE_NEWNS) != 0) return false;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
    return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// Fills the disk with `file`, then gives `room` bytes of it back.
inline void leaveRoom(const std::filesystem::path& file, off_t room) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (::ftruncate(fd, size > room ? size - room : 0) != 0) std::perror("ftruncate");
    ::close(fd);
}

}  // namespace quillet::test
