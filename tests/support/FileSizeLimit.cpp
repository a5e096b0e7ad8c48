// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileSizeLimit.h"

#include <csignal>
#include <sys/resource.h>

FileSizeLimit::FileSizeLimit(qint64 bytes) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    FOld = qint64(limit.rlim_cur);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(FOld);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, FOldHandler);
}
