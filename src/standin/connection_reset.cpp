// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// Resetting a connection that the HTTP library owns: the library gives a handler no
// access to its socket, so the socket is found by its two ports.
#include "standin/connection_reset.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <string>

namespace brevane::standin {

namespace {

int PortOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    }
    return -1;
}

bool IsConnection(int fd, int localPort, int remotePort) {
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode)) {
        return false;
    }
    sockaddr_storage local{};
    sockaddr_storage peer{};
    socklen_t localSize = sizeof local;
    socklen_t peerSize = sizeof peer;
    return getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) == 0 &&
           getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) == 0 &&
           PortOf(local) == localPort && PortOf(peer) == remotePort;
}

}  // namespace

bool ResetConnection(int localPort, int remotePort) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        int fd = -1;
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc{} ||
            !IsConnection(fd, localPort, remotePort)) {
            continue;
        }
        // A zero linger time turns the close into a reset. dup2 closes the connection
        // in the same step and leaves an unconnected socket under the descriptor, so
        // the library's later writes fail and its own close stays harmless.
        const linger abort{.l_onoff = 1, .l_linger = 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        const int spare = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (spare < 0) {
            shutdown(fd, SHUT_RDWR);
            return true;
        }
        dup2(spare, fd);
        close(spare);
        return true;
    }
    return false;
}

}  // namespace brevane::standin
