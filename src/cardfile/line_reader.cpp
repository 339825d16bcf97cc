#include "cardfile/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cardfile/atomic_file.h"
#include "cardfile/errors.h"

namespace tabellan {

std::string ReadWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw EInOutError(SystemMessage(path, errno));
    }
    std::string data;
    struct stat st {};
    std::size_t used = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        // One byte more than the file, so the read that sees its end needs no bigger buffer.
        data.resize(static_cast<std::size_t>(st.st_size) + 1);
    }
    for (;;) {
        if (used == data.size()) {
            data.resize(std::max<std::size_t>(data.size() * 2, 1 << 16));
        }
        ssize_t n = ::read(fd, data.data() + used, data.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            int err = errno;
            ::close(fd);
            throw EInOutError(SystemMessage(path, err));
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    data.resize(used);
    ::close(fd);
    return data;
}

bool LineReader::AtEnd() const {
    if (ended_ || rest_.empty()) {
        return true;
    }
    LineReader probe(rest_);
    std::string_view v;
    return !probe.NextView(v);
}

bool LineReader::NextView(std::string_view& line) {
    if (ended_ || rest_.empty()) {
        ended_ = true;
        return false;
    }
    const char* nl = static_cast<const char*>(std::memchr(rest_.data(), '\n', rest_.size()));
    std::size_t len = nl ? static_cast<std::size_t>(nl - rest_.data()) : rest_.size();
    std::string_view raw = rest_.substr(0, len);
    rest_.remove_prefix(nl ? len + 1 : len);
    if (std::memchr(raw.data(), '\r', raw.size()) == nullptr) {
        line = raw;
    } else {
        scratch_.clear();
        for (char c : raw) {
            if (c != '\r') {
                scratch_.push_back(c);
            }
        }
        line = scratch_;
    }
    if (!line.empty() && line.front() == '\x1a') {
        ended_ = true;
        rest_ = {};
        return false;
    }
    return true;
}

std::optional<std::string> LineReader::Next() {
    std::string_view v;
    if (!NextView(v)) {
        return std::nullopt;
    }
    return std::string(v);
}

}  // namespace tabellan
